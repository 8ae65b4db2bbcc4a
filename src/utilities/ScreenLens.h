#pragma once

#include <QImage>
#include <QMainWindow>
#include <memory>

class Platform;
class QTimer;
class ScreenCapture;

namespace Ui {
class TForm7;
}

// The screen lens: twenty times a second while shown, the square of screen round the pointer,
// enlarged by pixel replication into a 160 x 160 picture.
class TForm7 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm7(Platform& platform, QWidget* parent = nullptr);
    ~TForm7() override;

signals:
    // The window has closed (hidden); the main menu clears its check mark.
    void closed();

public slots:
    void Timer1Timer();
    void N11Click();
    void N21Click();
    void N31Click();
    void N3Click();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();
    void setEnlargement(int halfSize);

    std::unique_ptr<Ui::TForm7> ui;
    ScreenCapture& FScreen;
    QTimer* Timer1;
    // Half the side of the copied square: 40, 20 or 10 for two-, four- and eightfold.
    int FHalfSize = 40;
};
