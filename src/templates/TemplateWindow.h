#pragma once

#include <QString>
#include <QWidget>

class Platform;

// What the template chooser and the template builder share: an ordinary window over the main
// window, which it disables while shown (the user finishes with it first) and enables again when
// it closes by any means, working on the template directory. Created once and only hidden when
// closed.
class TemplateWindow : public QWidget
{
    Q_OBJECT
public:
    TemplateWindow(Platform& platform, QWidget& mainWindow, const QString& templateDirectory,
                   QWidget* parent = nullptr);

    // Disables the main window and shows this window over it.
    void OpenOverMainWindow();

public slots:
    // The window closes: the main window is enabled again.
    void FormClose();

protected:
    // After the form is set up: always on top, 527 by 354, not resizable, centred on the screen.
    void placeAsTemplateWindow();
    void enableMainWindow();
    // Each showing by the program; restoring a minimised window is not a new showing.
    virtual void shownByProgram() = 0;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    Platform& platform_;
    const QString templateDirectory_;

private:
    QWidget& mainWindow_;
};
