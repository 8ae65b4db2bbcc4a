#include "templates/Unit3.h"

TForm3::TForm3(Platform&, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("При помощи шаблона"));
}
