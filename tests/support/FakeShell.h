#pragma once

#include "platform/Shell.h"

#include <QList>

class FakeShell : public Shell
{
public:
    QList<QUrl> opened;
    void openUrl(const QUrl& url) override { opened << url; }
};
