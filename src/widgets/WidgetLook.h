#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

// Small pieces of look shared by several windows.

// A picture of `size` drawn from an SVG resource.
QPixmap pictureFromSvg(const QString& resource, const QSize& size);
// Places a top-level window in the middle of the primary screen.
void centreOnScreen(QWidget& window);
// The silver-grey background of the windows' information boxes.
void paintSilver(QWidget& box);
// Keeps the widget's font face and style, at `pixels` pixels high.
void setPixelSize(QWidget& widget, int pixels);
