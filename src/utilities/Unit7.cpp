#include "utilities/Unit7.h"

TForm7::TForm7(Platform&, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Линза"));
}
