#include "templates/TemplateWindow.h"

#include "platform/WindowKeys.h"
#include "widgets/WidgetLook.h"

#include <QCloseEvent>
#include <QShowEvent>

TemplateWindow::TemplateWindow(Platform& platform, QWidget& mainWindow,
                               const QString& templateDirectory, QWidget* parent)
    : QWidget(parent), platform_(platform), templateDirectory_(templateDirectory),
      mainWindow_(mainWindow)
{
    // Escape cancels, as "Отмена" does; Enter presses the page's default button.
    WindowKeys::closeOnEscape(*this, [this] { close(); });
    WindowKeys::pressDefaultOnEnter(*this);
}

void TemplateWindow::placeAsTemplateWindow()
{
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    setFixedSize(527, 354);
    centreOnScreen(*this);
}

void TemplateWindow::OpenOverMainWindow()
{
    mainWindow_.setEnabled(false);
    show();
    activateWindow();
}

void TemplateWindow::enableMainWindow()
{
    mainWindow_.setEnabled(true);
}

void TemplateWindow::FormClose()
{
    enableMainWindow();
}

void TemplateWindow::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        shownByProgram();
    QWidget::showEvent(event);
}

void TemplateWindow::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}
