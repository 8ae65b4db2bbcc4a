#include "platform/DeferredBrowser.h"

#include "platform/EngineModule.h"

#include <QLabel>
#include <QVBoxLayout>
#include <cstdio>

DeferredBrowser::DeferredBrowser(EngineModule& module, QWidget* parent)
    : Browser(parent), module_(module)
{}

bool DeferredBrowser::startEngine()
{
    if (engine_)
        return true;
    if (failure_)
        return false;
    engine_ = module_.createBrowser(this);
    if (!engine_) {
        const QString reason = QStringLiteral("Просмотр недоступен: ") + module_.errorString();
        std::fprintf(stderr, "pagewright: %s\n", qPrintable(reason));
        failure_ = new QLabel(reason, this);
        failure_->setWordWrap(true);
        failure_->setAlignment(Qt::AlignCenter);
        layout()->addWidget(failure_);
        return false;
    }
    engine_->setToolTip(toolTip());
    if (!defaultTextEncoding_.isEmpty())
        engine_->setDefaultTextEncoding(defaultTextEncoding_);
    connect(engine_, &Browser::commandStateChange, this, &Browser::commandStateChange);
    connect(engine_, &Browser::documentComplete, this, &Browser::documentComplete);
    layout()->addWidget(engine_);
    engine_->show();
    return true;
}

void DeferredBrowser::navigate(const QString& path)
{
    if (startEngine())
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
