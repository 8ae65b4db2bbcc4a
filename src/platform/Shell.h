#pragma once

#include <QUrl>

// Hands an address to the system: a web page to the browser, a mailto: address to the mail program.
class Shell
{
public:
    virtual ~Shell() = default;
    virtual void openUrl(const QUrl& url) = 0;
};
