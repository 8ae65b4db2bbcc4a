#pragma once

#include "platform/Browser.h"

class EngineModule;
class QLabel;

// A preview whose engine comes from the engine module at the first navigation; until then it is
// a blank white area and asks nothing of the engine. The engine's browser fills it and reports
// through it. When the module cannot be loaded, the area says why and the program goes on.
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

    // The engine's browser, or null before the first navigation or when the module failed.
    Browser* engine() const { return engine_; }

private:
    bool startEngine();

    EngineModule& module_;
    Browser* engine_ = nullptr;
    QLabel* failure_ = nullptr;
    QByteArray defaultTextEncoding_;
};
