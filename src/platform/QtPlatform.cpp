#include "platform/QtPlatform.h"

#include "platform/WebEngineBrowser.h"

Browser* QtPlatform::createBrowser(QWidget* parent)
{
    return new WebEngineBrowser(parent);
}
