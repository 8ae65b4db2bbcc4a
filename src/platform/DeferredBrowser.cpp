#include "platform/DeferredBrowser.h"

#include "platform/EngineModule.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <cstdio>
#include <utility>

DeferredBrowser::DeferredBrowser(EngineModule& module, QWidget* parent)
    : Browser(parent), module_(module)
{}

void DeferredBrowser::navigate(const QString& path)
{
    if (engine_) {
        engine_->navigate(path);
    } else if (!failure_) {
        pendingPath_ = path;
        pendingLiveBytes_ = QByteArray();
        startOnceShown();
    }
}

void DeferredBrowser::showLivePage(const QString& path, const QByteArray& bytes,
                                   const QByteArray& charset)
{
    if (engine_) {
        engine_->showLivePage(path, bytes, charset);
    } else if (!failure_) {
        pendingPath_ = path;
        pendingLiveBytes_ = bytes.isNull() ? QByteArray("") : bytes;
        pendingLiveCharset_ = charset;
        startOnceShown();
    }
}

void DeferredBrowser::endLivePage()
{
    pendingLiveBytes_ = QByteArray();
    if (engine_)
        engine_->endLivePage();
}

void DeferredBrowser::revealElement(int index)
{
    if (engine_)
        engine_->revealElement(index);
}

// The start waits for the window's first exposure (Qt paints the window as it handles it), or,
// when the window is already on screen or not shown at all, for the events already queued.
void DeferredBrowser::startOnceShown()
{
    if (starting_)
        return;
    starting_ = true;
    QWindow* shown = window()->windowHandle();
    if (shown && shown->isVisible() && !shown->isExposed())
        shown->installEventFilter(this);
    else
        QTimer::singleShot(0, this, &DeferredBrowser::startEngine);
}

bool DeferredBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Expose && watched == window()->windowHandle() &&
        window()->windowHandle()->isExposed()) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &DeferredBrowser::startEngine);
    }
    return Browser::eventFilter(watched, event);
}

void DeferredBrowser::startEngine()
{
    engine_ = module_.createBrowser(this);
    if (!engine_) {
        const QString reason = QStringLiteral("Просмотр недоступен: ") + module_.errorString();
        std::fprintf(stderr, "pagewright: %s\n", qPrintable(reason));
        failure_ = new QLabel(reason, this);
        failure_->setWordWrap(true);
        failure_->setAlignment(Qt::AlignCenter);
        layout()->addWidget(failure_);
        return;
    }
    engine_->setToolTip(toolTip());
    if (!defaultTextEncoding_.isEmpty())
        engine_->setDefaultTextEncoding(defaultTextEncoding_);
    connect(engine_, &Browser::commandStateChange, this, &Browser::commandStateChange);
    connect(engine_, &Browser::documentComplete, this, &Browser::documentComplete);
    connect(engine_, &Browser::elementsListed, this, &Browser::elementsListed);
    connect(engine_, &Browser::elementPicked, this, &Browser::elementPicked);
    connect(engine_, &Browser::pageDialogSuppressed, this, &Browser::pageDialogSuppressed);
    layout()->addWidget(engine_);
    engine_->show();
    const QString path = std::exchange(pendingPath_, QString());
    if (!pendingLiveBytes_.isNull())
        engine_->showLivePage(path, std::exchange(pendingLiveBytes_, QByteArray()),
                              pendingLiveCharset_);
    else
        engine_->navigate(path);
}

void DeferredBrowser::refresh()
{
    if (engine_)
        engine_->refresh();
}

void DeferredBrowser::goBack()
{
    if (engine_)
        engine_->goBack();
}

void DeferredBrowser::goForward()
{
    if (engine_)
        engine_->goForward();
}

void DeferredBrowser::setDefaultTextEncoding(const QByteArray& charset)
{
    defaultTextEncoding_ = charset;
    if (engine_)
        engine_->setDefaultTextEncoding(charset);
}
