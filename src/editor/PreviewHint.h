#pragma once

#include <QString>

// The tooltip of the preview, in the main window and full screen alike: the browser's own keys.
inline const QString PreviewHint =
    QStringLiteral("BkSp-Переход на один уровень вверх, Alt+Влево-Назад, Alt+Вправо-Вперед");
