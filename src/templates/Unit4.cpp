#include "templates/Unit4.h"

TForm4::TForm4(Platform&, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Создание шаблона"));
}
