#include "platform/Browser.h"

#include <QVBoxLayout>

Browser::Browser(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setAutoFillBackground(true);
    QPalette blank = palette();
    blank.setColor(QPalette::Window, Qt::white);
    setPalette(blank);
}

void Browser::showLivePage(const QString&, const QByteArray&, const QByteArray&) {}

void Browser::endLivePage() {}

void Browser::revealElement(int) {}
