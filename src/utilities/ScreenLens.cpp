#include "utilities/ScreenLens.h"

#include "platform/Platform.h"
#include "platform/ScreenCapture.h"
#include "platform/WindowKeys.h"
#include "ui_ScreenLens.h"
#include "utilities/LensGeometry.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QTimer>

namespace {

// The picture square inside the client area, whatever the enlargement.
constexpr int kPictureSide = 160;
constexpr int kClientWidth = 174;
constexpr int kClientHeight = 177;

} // namespace

TForm7::TForm7(Platform& platform, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm7>()), FScreen(platform.screen()),
      Timer1(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
    move(593, 42);
    WindowKeys::openMenuOnF10(*this, *ui->MainMenu1);

    auto* enlargements = new QActionGroup(this);
    for (QAction* item : {ui->N11, ui->N21, ui->N31})
        enlargements->addAction(item);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);

    connect(Timer1, &QTimer::timeout, this, &TForm7::Timer1Timer);
    connect(ui->N11, &QAction::triggered, this, &TForm7::N11Click);
    connect(ui->N21, &QAction::triggered, this, &TForm7::N21Click);
    connect(ui->N31, &QAction::triggered, this, &TForm7::N31Click);
    connect(ui->N3, &QAction::triggered, this, &TForm7::N3Click);
}

TForm7::~TForm7() = default;

void TForm7::Timer1Timer()
{
    const QPoint pointer = FScreen.cursorPos();
    const QSize screen = FScreen.screenSize();
    const QRect source =
        LensSourceRect(pointer.x(), pointer.y(), screen.width(), screen.height(), FHalfSize);
    QImage grabbed = FScreen.grab(source);
    if (grabbed.isNull())
        return; // nothing to show: the last picture stays
    // Nearest-neighbour scaling: each screen pixel becomes a block of identical pixels.
    QImage picture =
        grabbed.scaled(kPictureSide, kPictureSide, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    picture.setDevicePixelRatio(1.0);
    ui->LensPicture->setPixmap(QPixmap::fromImage(picture));
}

void TForm7::N11Click()
{
    setEnlargement(40);
}

void TForm7::N21Click()
{
    setEnlargement(20);
}

void TForm7::N31Click()
{
    setEnlargement(10);
}

void TForm7::N3Click()
{
    close();
}

void TForm7::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The screen is copied only while the lens can be seen; the first picture comes at once.
    Timer1->start();
    Timer1Timer();
}

void TForm7::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QMainWindow::hideEvent(event);
}

void TForm7::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TForm7::FormClose()
{
    emit closed();
}

void TForm7::setEnlargement(int halfSize)
{
    ui->N11->setChecked(halfSize == 40);
    ui->N21->setChecked(halfSize == 20);
    ui->N31->setChecked(halfSize == 10);
    FHalfSize = halfSize;
}
