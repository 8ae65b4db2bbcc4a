#pragma once

#include <QDialog>
#include <memory>

class Platform;
class Shell;

namespace Ui {
class TAboutBox;
}

// The about window: the program's name, version and origin, and links to its web site and
// its authors' mail address.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(Platform& platform, QWidget* parent = nullptr);
    ~TAboutBox() override;

public slots:
    void OKButtonClick();
    void Label5Click();
    void Label7Click();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
    Shell& FShell;
};
