#pragma once

#include "platform/Browser.h"

#include <QStringList>

// Records what the windows ask of a browser: "navigate <path>", "refresh", "back", "forward",
// "live <path>", "end live", "reveal <index>"; the default text encoding and the live page's
// bytes are kept apart.
// Tests raise the browser's notifications through the signals directly.
class FakeBrowser : public Browser
{
    Q_OBJECT
public:
    using Browser::Browser;

    QStringList calls;
    QByteArray defaultTextEncoding;
    QByteArray liveBytes;
    QByteArray liveCharset;

    void navigate(const QString& path) override { calls << QStringLiteral("navigate ") + path; }
    void refresh() override { calls << QStringLiteral("refresh"); }
    void goBack() override { calls << QStringLiteral("back"); }
    void goForward() override { calls << QStringLiteral("forward"); }
    void setDefaultTextEncoding(const QByteArray& charset) override
    {
        defaultTextEncoding = charset;
    }
    void showLivePage(const QString& path, const QByteArray& bytes,
                      const QByteArray& charset) override
    {
        calls << QStringLiteral("live ") + path;
        liveBytes = bytes;
        liveCharset = charset;
    }
    void endLivePage() override { calls << QStringLiteral("end live"); }
    void revealElement(int index) override { calls << QStringLiteral("reveal %1").arg(index); }
};
