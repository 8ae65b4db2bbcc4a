#include "platform/QtShell.h"

#include <QDesktopServices>

void QtShell::openUrl(const QUrl& url)
{
    // A system without a browser or mail program fails silently, as the links promise nothing.
    QDesktopServices::openUrl(url);
}
