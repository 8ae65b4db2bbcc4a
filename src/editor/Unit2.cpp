#include "editor/Unit2.h"

TForm2::TForm2(Platform&, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Pagewright"));
}
