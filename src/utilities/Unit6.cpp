#include "utilities/Unit6.h"

TAboutBox::TAboutBox(Platform&, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("О программе Pagewright"));
}
