#pragma once

#include "platform/Browser.h"

class EngineModule;
class QLabel;

// A preview whose engine comes from the engine module at the first navigation; until then it is
// a blank white area and asks nothing of the engine. Starting the engine takes a tenth of a second
// or more, so it starts once the window has been painted: the text shows first. The engine's
// browser fills the area and reports through it. When the module cannot be loaded, the area says
// why and the program goes on.
class DeferredBrowser : public Browser
{
    Q_OBJECT
public:
    DeferredBrowser(EngineModule& module, QWidget* parent = nullptr);

    void navigate(const QString& path) override;
    void refresh() override;
    void goBack() override;
    void goForward() override;
    void setDefaultTextEncoding(const QByteArray& charset) override;
    void showLivePage(const QString& path, const QByteArray& bytes,
                      const QByteArray& charset) override;
    void endLivePage() override;
    void revealElement(int index) override;

    // The engine's browser, or null before the engine has started or when the module failed.
    Browser* engine() const { return engine_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startOnceShown();
    void startEngine();

    EngineModule& module_;
    Browser* engine_ = nullptr;
    QLabel* failure_ = nullptr;
    QByteArray defaultTextEncoding_;
    // The page to show once the engine has started; whether the start is on its way.
    QString pendingPath_;
    // A live page asked for before the engine started (null bytes: none).
    QByteArray pendingLiveBytes_;
    QByteArray pendingLiveCharset_;
    bool starting_ = false;
};
