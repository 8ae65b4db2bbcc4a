#include "platform/QtPlatform.h"

#include "platform/DeferredBrowser.h"

Browser* QtPlatform::createBrowser(QWidget* parent)
{
    return new DeferredBrowser(engine_, parent);
}
