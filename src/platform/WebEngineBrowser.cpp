#include "platform/WebEngineBrowser.h"

#include "platform/EngineModule.h"
#include "platform/LocalPageSchemeHandler.h"
#include "platform/PreviewAccessible.h"
#include "platform/PreviewPage.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QQuickWindow>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

// The engine's view is a Qt Quick scene. With the default (OpenGL) scene graph Qt composes the
// whole top-level window through OpenGL on every repaint once the view exists, so a caret blink
// in the editor re-composes the preview too, in software where there is no GPU, and the main
// window is re-created when the view first appears. The software scene graph keeps the window
// a plain raster one: the page is drawn when it changes and the editor repaints only itself.
// It is also cheaper when scrolling a heavy page without a GPU; an explicit QT_QUICK_BACKEND
// still decides.
void WebEngineBrowser::chooseSceneGraph()
{
    if (!EngineModule::usesOpenGL())
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

// Screen readers see the page through the preview's own accessible interface; its factory is in
// place before anything asks for this widget's.
WebEngineBrowser::WebEngineBrowser(QWidget* parent) : Browser(parent)
{
    PreviewAccessible::install();
}

void WebEngineBrowser::createView()
{
    chooseSceneGraph();
    view_ = new QWebEngineView(this);
    page_ = new PreviewPage(view_);
    view_->setPage(page_);
    connect(page_, &PreviewPage::dialogSuppressed, this, &Browser::pageDialogSuppressed);
    LocalPageSchemeHandler::installOn(view_->page()->profile());
    view_->setToolTip(toolTip());
    layout()->addWidget(view_);
    QWebEnginePage* page = view_->page();
    QAction* back = page->action(QWebEnginePage::Back);
    QAction* forward = page->action(QWebEnginePage::Forward);
    connect(back, &QAction::changed, this,
            [this, back] { emit commandStateChange(BackCommand, back->isEnabled()); });
    connect(forward, &QAction::changed, this,
            [this, forward] { emit commandStateChange(ForwardCommand, forward->isEnabled()); });
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool) {
        if (showsLivePage())
            listAfterPaint();
        emit documentComplete();
    });
    view_->installEventFilter(this);
    for (QObject* child : view_->children())
        watchPageWidget(child);
    if (!defaultTextEncoding_.isEmpty())
        view_->settings()->setDefaultTextEncoding(QString::fromLatin1(defaultTextEncoding_));
    view_->show();
}

void WebEngineBrowser::navigate(const QString& path)
{
    if (!view_)
        createView();
    page_->setQuietDialogs(false);
    view_->load(LocalPageSchemeHandler::pageUrl(path));
}

void WebEngineBrowser::setDefaultTextEncoding(const QByteArray& charset)
{
    defaultTextEncoding_ = charset;
    if (view_)
        view_->settings()->setDefaultTextEncoding(QString::fromLatin1(charset));
}

void WebEngineBrowser::refresh()
{
    if (!view_)
        return;
    page_->setQuietDialogs(false);
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

void WebEngineBrowser::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() == Qt::Key_Left && modifiers == Qt::AltModifier) {
        goBack();
        event->accept();
    } else if (event->key() == Qt::Key_Right && modifiers == Qt::AltModifier) {
        goForward();
        event->accept();
    } else {
        Browser::keyPressEvent(event);
    }
}

void WebEngineBrowser::watchPageWidget(QObject* child)
{
    if (child->isWidgetType())
        child->installEventFilter(this);
}

bool WebEngineBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched != view_)
        pagePainted();
    if (watched == view_ && event->type() == QEvent::ChildAdded) {
        watchPageWidget(static_cast<QChildEvent*>(event)->child());
    } else if (watched != view_ && event->type() == QEvent::Hide &&
               static_cast<QWidget*>(watched)->hasFocus()) {
        // Each local file is its own origin, and the engine shows a page of another origin in a
        // new widget: the focus moves on to it once the swap is done, so the history keys go on
        // working.
        QMetaObject::invokeMethod(this, &WebEngineBrowser::focusShownPage, Qt::QueuedConnection);
    } else if (watched != view_ && isElementPick(event)) {
        // The page never sees a Ctrl+click on the live page: it is the way back to the source.
        if (event->type() == QEvent::MouseButtonPress)
            pickElement(static_cast<QMouseEvent*>(event)->position());
        return true;
    } else if (watched != view_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace && key->modifiers() == Qt::NoModifier)
            backUnlessEditing();
    }
    return Browser::eventFilter(watched, event);
}

void WebEngineBrowser::focusShownPage()
{
    QWidget* page = view_->focusProxy();
    if (page && page->isVisible() && !page->hasFocus())
        page->setFocus(Qt::OtherFocusReason);
}

// The page uses Backspace itself and reports it as handled, so the key is looked at before the
// page gets it: it goes back unless the focus is in a field where Backspace deletes.
void WebEngineBrowser::backUnlessEditing()
{
    static const QString focusIsEditable = QStringLiteral(
        "(function(){var e=document.activeElement;"
        "return !!e&&(e.isContentEditable||/^(input|textarea|select)$/i.test(e.tagName));})()");
    QPointer<WebEngineBrowser> self(this);
    view_->page()->runJavaScript(focusIsEditable, [self](const QVariant& editable) {
        if (self && !editable.toBool())
            self->goBack();
    });
}
