#pragma once

#include "platform/Shell.h"

class QtShell : public Shell
{
public:
    void openUrl(const QUrl& url) override;
};
