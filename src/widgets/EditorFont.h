#pragma once

#include <QColor>
#include <QFont>

// A font together with the text colour chosen with it.
struct EditorFont
{
    QFont font;
    QColor color = Qt::black;
};
