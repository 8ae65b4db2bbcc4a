#include "utilities/AboutBox.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

class AboutBoxTest : public ::testing::Test
{
protected:
    FakePlatform platform;
    TAboutBox box{platform};

    QLabel* label(const char* name) { return box.findChild<QLabel*>(name); }
};

TEST_F(AboutBoxTest, ShowsNameVersionAndOrigin)
{
    EXPECT_EQ(box.objectName(), "AboutBox");
    EXPECT_EQ(box.windowTitle(), "О программе Pagewright");
    EXPECT_EQ(box.size(), QSize(366, 225));
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    const struct
    {
        const char* name;
        QPoint pos;
        const char* text;
    } labels[] = {{"Label1", {200, 8}, "Pagewright"},
                  {"Label2", {200, 40}, "Версия: 2.3"},
                  {"Label6", {200, 64}, "HTML редактор"},
                  {"Label3", {200, 88}, "Создан в 2001-2002г"},
                  {"Label4", {200, 112}, "Pagewright team"},
                  {"Label7", {200, 128}, "pagewright@example.org"},
                  {"Label5", {200, 152}, "pagewright.example.org"}};
    for (const auto& l : labels) {
        ASSERT_NE(label(l.name), nullptr) << l.name;
        EXPECT_EQ(label(l.name)->pos(), l.pos) << l.name;
        EXPECT_EQ(label(l.name)->text(), QString::fromUtf8(l.text)) << l.name;
        // Every text fits inside the window.
        EXPECT_LE(label(l.name)->geometry().right(), 366) << l.name;
    }
    EXPECT_EQ(label("Label1")->font().pixelSize(), 24);
    EXPECT_TRUE(label("Label1")->font().bold());
    for (const char* link : {"Label5", "Label7"}) {
        EXPECT_TRUE(label(link)->font().underline());
        EXPECT_EQ(label(link)->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }
    const QLabel* image = label("Image1");
    EXPECT_EQ(image->geometry(), QRect(8, 16, 179, 158));
    ASSERT_FALSE(image->pixmap().isNull());
    // The picture is drawn, not blank: its centre is opaque.
    EXPECT_EQ(qAlpha(image->pixmap().toImage().pixel(90, 80)), 255);
    const auto* ok = box.findChild<QPushButton*>("OKButton");
    EXPECT_EQ(ok->geometry(), QRect(279, 196, 75, 25));
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
}

TEST_F(AboutBoxTest, LinksGoToTheShellAndTheWindowStays)
{
    box.show();
    QTest::mouseClick(label("Label5"), Qt::LeftButton);
    QTest::mouseClick(label("Label7"), Qt::LeftButton);
    QTest::mouseClick(label("Label4"), Qt::LeftButton); // not a link
    QTest::mouseClick(label("Label5"), Qt::RightButton);
    EXPECT_EQ(platform.fakeShell.opened, QList<QUrl>({QUrl("https://pagewright.example.org/"),
                                                      QUrl("mailto:pagewright@example.org")}));
    EXPECT_TRUE(box.isVisible());
}

TEST_F(AboutBoxTest, ShowingTwiceLeavesOneWindowAndEnterClosesIt)
{
    box.show();
    box.show();
    int shown = 0;
    for (const QWidget* w : QApplication::topLevelWidgets())
        shown += w->isVisible() && qobject_cast<const TAboutBox*>(w) != nullptr;
    EXPECT_EQ(shown, 1);

    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutBoxTest, CentredFirstThenReopensWhereTheUserLeftIt)
{
    box.show();
    const QPoint screenCentre = box.screen()->availableGeometry().center();
    EXPECT_LE((box.frameGeometry().center() - screenCentre).manhattanLength(), 4);
    box.move(40, 60);
    box.findChild<QPushButton*>("OKButton")->click();
    EXPECT_FALSE(box.isVisible());
    box.show();
    EXPECT_EQ(box.pos(), QPoint(40, 60));
}

// A window manager moves the native window, not the widget: Qt learns of it through the window's
// geometry, and the widget is not marked as moved by the program.
TEST_F(AboutBoxTest, ReopensWhereTheWindowManagerLeftIt)
{
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.windowHandle()->setFramePosition(QPoint(70, 90));
    QTRY_COMPARE(box.frameGeometry().topLeft(), QPoint(70, 90));
    ASSERT_FALSE(box.testAttribute(Qt::WA_Moved));
    box.findChild<QPushButton*>("OKButton")->click();
    box.show();
    EXPECT_EQ(box.frameGeometry().topLeft(), QPoint(70, 90));
}

} // namespace
