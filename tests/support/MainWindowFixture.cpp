#include "support/MainWindowFixture.h"

#include <QTest>

void MainWindowFixture::type(const QString& text)
{
    QTest::keyClicks(editor(), text);
}

void MainWindowFixture::openThroughDialog(const QString& filePath)
{
    dialogs().openAnswers = {{filePath, 1}};
    form->N3Click();
}
