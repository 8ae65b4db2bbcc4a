#include "utilities/Unit5.h"

TForm5::TForm5(Platform&, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Цветной помощник"));
}
