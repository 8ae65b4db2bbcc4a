#include "text/StrayAltKey.h"

#include <QKeyEvent>

bool isStrayAltKey(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (!(mods & Qt::AltModifier) || (mods & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    const QString text = event.text();
    if (text.isEmpty())
        return false;
    // Control characters (Alt+Enter, Alt+Backspace, Alt+Tab) are keys with their own meaning.
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}
