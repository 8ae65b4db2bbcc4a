#include "platform/WebEngineBrowser.h"

#include <QAction>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

WebEngineBrowser::WebEngineBrowser(QWidget* parent) : Browser(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setAutoFillBackground(true);
    QPalette blank = palette();
    blank.setColor(QPalette::Window, Qt::white);
    setPalette(blank);
}

void WebEngineBrowser::createView()
{
    view_ = new QWebEngineView(this);
    view_->setToolTip(toolTip());
    layout()->addWidget(view_);
    QWebEnginePage* page = view_->page();
    QAction* back = page->action(QWebEnginePage::Back);
    QAction* forward = page->action(QWebEnginePage::Forward);
    connect(back, &QAction::changed, this,
            [this, back] { emit commandStateChange(BackCommand, back->isEnabled()); });
    connect(forward, &QAction::changed, this,
            [this, forward] { emit commandStateChange(ForwardCommand, forward->isEnabled()); });
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool) { emit documentComplete(); });
    view_->show();
}

void WebEngineBrowser::navigate(const QString& path)
{
    if (!view_)
        createView();
    view_->load(QUrl::fromLocalFile(path));
}

void WebEngineBrowser::refresh()
{
    if (view_)
        view_->reload();
}

void WebEngineBrowser::goBack()
{
    if (view_)
        view_->back();
}

void WebEngineBrowser::goForward()
{
    if (view_)
        view_->forward();
}
