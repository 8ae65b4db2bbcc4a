#pragma once

#include <QString>
#include <memory>

class Platform;
class TAboutBox;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm7;

// The program's seven windows, created once in this order and alive for the whole run: the main
// window first (and only it shown), then the full-screen preview, the template chooser, the
// template builder, the colour helper, the about window and the lens. The windows do not know one
// another; the connections between them are made here.
struct ProgramWindows
{
    ProgramWindows(Platform& platform, const QString& templateDirectory);
    ~ProgramWindows();

    std::unique_ptr<TForm1> mainWindow;
    std::unique_ptr<TForm2> fullScreenPreview;
    std::unique_ptr<TForm3> templateChooser;
    std::unique_ptr<TForm4> templateBuilder;
    std::unique_ptr<TForm5> colourHelper;
    std::unique_ptr<TAboutBox> aboutBox;
    std::unique_ptr<TForm7> screenLens;

private:
    void connectWindows();
};
