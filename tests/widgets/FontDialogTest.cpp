// The font dialog with a text colour: its first font, what it shows and returns, confirm and
// cancel.
#include "widgets/FontDialog.h"
#include "platform/QtDialogs.h"
#include "widgets/FontResolution.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `step` on the font dialog once it is shown modally.
void whenShown(std::function<void(FontDialog&)> step)
{
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<FontDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        step(*dialog);
    });
}

EditorFont editorFont(const QString& family, int pixelSize, QColor color)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    return {font, color};
}

void expectSameFont(const EditorFont& actual, const EditorFont& expected)
{
    EXPECT_EQ(actual.font.family(), expected.font.family());
    EXPECT_EQ(actual.font.pixelSize(), expected.font.pixelSize());
    EXPECT_EQ(actual.font.bold(), expected.font.bold());
    EXPECT_EQ(actual.font.italic(), expected.font.italic());
    EXPECT_EQ(actual.font.underline(), expected.font.underline());
    EXPECT_EQ(actual.font.strikeOut(), expected.font.strikeOut());
    EXPECT_EQ(actual.color, expected.color);
}

TEST(FontDialogTest, StartsAtFixedsysOf16PixelsInBlack)
{
    FontDialog dialog;
    const EditorFont shown = dialog.selectedFont();
    EXPECT_TRUE(QFontDatabase::hasFamily(shown.font.family()));
    EXPECT_EQ(shown.font.family(), installedMonospaceFamily());
    EXPECT_EQ(shown.font.pixelSize(), 16);
    EXPECT_FALSE(shown.font.bold());
    EXPECT_FALSE(shown.font.italic());
    EXPECT_FALSE(shown.font.underline());
    EXPECT_FALSE(shown.font.strikeOut());
    EXPECT_EQ(shown.color, QColor(Qt::black));
    expectSameFont(shown, FontDialog::initialFont());
}

TEST(FontDialogTest, ShowsAndReturnsEveryPartOfTheFont)
{
    const QString face = QFontDatabase::families().constFirst();
    const auto styled = [&](bool bold, bool italic, bool underline, bool strikeOut, QColor color,
                            int pixelSize) {
        EditorFont font = editorFont(face, pixelSize, color);
        font.font.setBold(bold);
        font.font.setItalic(italic);
        font.font.setUnderline(underline);
        font.font.setStrikeOut(strikeOut);
        return font;
    };
    const EditorFont fonts[] = {
        styled(false, false, false, false, QColor(0, 0, 0), 11),
        styled(true, false, false, false, QColor(128, 0, 0), 12),
        styled(false, true, true, false, QColor(255, 255, 255), 24),
        styled(true, true, false, true, QColor(0, 128, 128), 8),
        // A colour outside the list of sixteen, as the colour dialog gives it.
        styled(false, false, true, true, QColor(166, 202, 240), 40),
    };
    FontDialog dialog;
    for (const EditorFont& font : fonts) {
        SCOPED_TRACE(font.font.toString().toStdString());
        dialog.setSelectedFont(font);
        expectSameFont(dialog.selectedFont(), font);
    }
}

TEST(FontDialogTest, FaceMissingHereIsShownAsItsStandIn)
{
    FontDialog dialog;
    dialog.setSelectedFont(editorFont("MS Sans Serif", 11, Qt::black));
    const QFont shown = dialog.selectedFont().font;
    EXPECT_TRUE(QFontDatabase::hasFamily(shown.family()));
    EXPECT_EQ(shown.pixelSize(), 11);
}

TEST(FontDialogTest, ConfirmingReturnsTheChosenFont)
{
    QtDialogs dialogs;
    EditorFont font = FontDialog::initialFont();
    whenShown([](FontDialog& dialog) {
        dialog.findChild<QSpinBox*>("sizeBox")->setValue(20);
        dialog.findChild<QComboBox*>("styleBox")->setCurrentIndex(3); // bold italic
        dialog.findChild<QCheckBox*>("underlineBox")->setChecked(true);
        QComboBox* colors = dialog.findChild<QComboBox*>("colorBox");
        colors->setCurrentIndex(colors->findData(QColor(Qt::white)));
        dialog.accept();
    });
    ASSERT_TRUE(dialogs.chooseFont(nullptr, font));
    EXPECT_EQ(font.font.family(), installedMonospaceFamily());
    EXPECT_EQ(font.font.pixelSize(), 20);
    EXPECT_TRUE(font.font.bold());
    EXPECT_TRUE(font.font.italic());
    EXPECT_TRUE(font.font.underline());
    EXPECT_FALSE(font.font.strikeOut());
    EXPECT_EQ(font.color, QColor(Qt::white));

    // The next use starts from the font confirmed last.
    whenShown([&](FontDialog& dialog) {
        expectSameFont(dialog.selectedFont(), font);
        dialog.accept();
    });
    const EditorFont confirmed = font;
    ASSERT_TRUE(dialogs.chooseFont(nullptr, font));
    expectSameFont(font, confirmed);
}

TEST(FontDialogTest, CancellingLeavesTheFontAsItWas)
{
    QtDialogs dialogs;
    const EditorFont before = editorFont(QFontDatabase::families().constFirst(), 13, Qt::red);
    EditorFont font = before;
    whenShown([](FontDialog& dialog) {
        dialog.findChild<QSpinBox*>("sizeBox")->setValue(30);
        dialog.findChild<QCheckBox*>("strikeOutBox")->setChecked(true);
        dialog.reject();
    });
    EXPECT_FALSE(dialogs.chooseFont(nullptr, font));
    expectSameFont(font, before);
}

} // namespace
