#pragma once

#include "platform/Browser.h"

#include <QStringList>

// Records what the windows ask of a browser: "navigate <path>", "refresh", "back", "forward";
// the default text encoding is kept apart, as it is a setting rather than a command.
// Tests raise the browser's notifications through the signals directly.
class FakeBrowser : public Browser
{
    Q_OBJECT
public:
    using Browser::Browser;

    QStringList calls;
    QByteArray defaultTextEncoding;

    void navigate(const QString& path) override { calls << QStringLiteral("navigate ") + path; }
    void refresh() override { calls << QStringLiteral("refresh"); }
    void goBack() override { calls << QStringLiteral("back"); }
    void goForward() override { calls << QStringLiteral("forward"); }
    void setDefaultTextEncoding(const QByteArray& charset) override
    {
        defaultTextEncoding = charset;
    }
};
