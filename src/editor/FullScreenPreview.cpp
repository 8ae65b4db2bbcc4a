#include "editor/FullScreenPreview.h"
#include "ui_FullScreenPreview.h"

#include "editor/PreviewHint.h"
#include "platform/Browser.h"
#include "platform/Platform.h"

#include <QAction>
#include <QMouseEvent>

TForm2::TForm2(Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TForm2>())
{
    ui->setupUi(this);
    WebBrowser1 = platform.createBrowser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setToolTip(PreviewHint);
    WebBrowser1->setAccessibleName(QStringLiteral("Просмотр страницы во весь экран"));
    WebBrowser1->move(0, 25);

    auto* Action1 = new QAction(this);
    Action1->setObjectName(QStringLiteral("Action1"));
    // Escape leaves the full screen as F6 does.
    Action1->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(Qt::Key_Escape)});
    Action1->setShortcutContext(Qt::WindowShortcut);
    addAction(Action1);
    connect(Action1, &QAction::triggered, this, &TForm2::Action1Execute);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    move(0, 1);
}

TForm2::~TForm2() = default;

void TForm2::showFullScreenPreview(int screenMode)
{
    screenMode_ = screenMode;
    show();
    raise();
    activateWindow();
}

void TForm2::navigate(const QString& path, const QByteArray& charset)
{
    WebBrowser1->setDefaultTextEncoding(charset);
    WebBrowser1->navigate(path);
}

void TForm2::FormShow()
{
    const bool narrow = screenMode_ == 800;
    const QSize client = narrow ? QSize(800, 570) : QSize(1024, 738);
    setFixedSize(client);
    WebBrowser1->resize(client.width(), client.height() - 25);
    move(0, 1);
}

void TForm2::showEvent(QShowEvent* event)
{
    FormShow();
    QWidget::showEvent(event);
}

void TForm2::Action1Execute()
{
    hide();
}

void TForm2::BitBtn1Click()
{
    Action1Execute();
}

void TForm2::mousePressEvent(QMouseEvent* event)
{
    // A click on the strip beside the button closes the window, as the button does. Clicks on
    // the browser area reach this window too while the browser has no page to take them.
    if (event->button() == Qt::LeftButton && event->position().y() < WebBrowser1->y())
        Action1Execute();
    QWidget::mousePressEvent(event);
}
