// The keyboard paths of the windows: Escape and Enter, Alt with a letter in the editor, F10, the
// splitter's focus mark, the about window's links.
#include "editor/FullScreenPreview.h"
#include "platform/WindowKeys.h"
#include "support/ProgramFixture.h"
#include "templates/TemplateBuilder.h"
#include "templates/TemplateChooser.h"
#include "text/StrayAltKey.h"
#include "utilities/AboutBox.h"
#include "utilities/ColourHelper.h"
#include "utilities/ScreenLens.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <functional>

namespace {

class KeyboardPaths : public ProgramFixture
{
protected:
    void TearDown() override
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        ProgramFixture::TearDown();
    }

    // Shows `window` as the active window, its focus on `focus` when given.
    void activate(QWidget& window, QWidget* focus = nullptr)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        if (focus)
            focus->setFocus();
    }

    // A key pressed where the focus is, as a user presses it: shortcuts first.
    static void press(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {},
                      const QString& text = {})
    {
        QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
        QTest::sendKeyEvent(QTest::Click, target, key, text, modifiers);
    }

    template <typename T> T* in(QWidget& window, const char* name)
    {
        T* child = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
};

// --- Escape -------------------------------------------------------------------------------------

struct EscapeCase
{
    const char* window;
    std::function<QWidget*(ProgramWindows&)> open;
    // Whether the main window is disabled while the window is shown.
    bool disablesMain;
};

const EscapeCase escapeCases[] = {
    {"TemplateBuilder",
     [](ProgramWindows& p) -> QWidget* {
         p.templateBuilder->OpenOverMainWindow();
         return p.templateBuilder.get();
     },
     true},
    {"TemplateChooser",
     [](ProgramWindows& p) -> QWidget* {
         p.templateChooser->OpenOverMainWindow();
         return p.templateChooser.get();
     },
     true},
    {"ColourHelper",
     [](ProgramWindows& p) -> QWidget* {
         p.colourHelper->show();
         return p.colourHelper.get();
     },
     false},
    {"FullScreenPreview",
     [](ProgramWindows& p) -> QWidget* {
         p.fullScreenPreview->showFullScreenPreview(800);
         return p.fullScreenPreview.get();
     },
     false},
};

class EscapeCloses : public KeyboardPaths, public ::testing::WithParamInterface<EscapeCase>
{};

TEST_P(EscapeCloses, TheWindowAsItsCancelOrCloseButtonDoes)
{
    form->show();
    QWidget* window = GetParam().open(*program);
    ASSERT_NO_FATAL_FAILURE(activate(*window));
    EXPECT_EQ(form->isEnabled(), !GetParam().disablesMain);

    // From a text field where there is one: the field does not keep the key.
    if (auto* field = window->findChild<QLineEdit*>(); field && field->isVisible())
        field->setFocus();
    press(*window, Qt::Key_Escape);

    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Windows, EscapeCloses, ::testing::ValuesIn(escapeCases),
                         [](const auto& c) { return std::string(c.param.window); });

TEST_F(KeyboardPaths, EscapeInTheColourHelperClearsTheMenuCheckMark)
{
    QAction* item = action("N37");
    item->trigger();
    ASSERT_TRUE(program->colourHelper->isVisible());
    ASSERT_NO_FATAL_FAILURE(activate(*program->colourHelper));
    press(*program->colourHelper, Qt::Key_Escape);
    EXPECT_FALSE(program->colourHelper->isVisible());
    EXPECT_FALSE(item->isChecked());
}

// --- Enter and the builder's default button ------------------------------------------------------

TEST_F(KeyboardPaths, EnterInTheBuilderGoesToTheNextPageAndFinishesOnTheLast)
{
    TForm4& builder = *program->templateBuilder;
    form->show();
    builder.OpenOverMainWindow();
    ASSERT_NO_FATAL_FAILURE(activate(builder, in<QWidget>(builder, "CheckBox1")));
    const char* const pages[] = {"Page1", "Page2", "Page3", "Page4", "Page5"};
    for (int page = 1; page <= 4; ++page) {
        ASSERT_TRUE(in<QWidget>(builder, pages[page - 1])->isVisible()) << page;
        press(builder, Qt::Key_Return);
    }
    ASSERT_TRUE(in<QWidget>(builder, "Page5")->isVisible());

    auto* name = in<QLineEdit>(builder, "Edit4");
    name->setFocus();
    name->setText(QStringLiteral("ByKeyboard"));
    press(builder, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(QFile::exists(templateDirectory() + QStringLiteral("/ByKeyboard.sbl")));
    EXPECT_FALSE(builder.isVisible());
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(KeyboardPaths, EnterPressesTheFocusedButtonRatherThanTheDefault)
{
    TForm4& builder = *program->templateBuilder;
    form->show();
    builder.OpenOverMainWindow();
    ASSERT_NO_FATAL_FAILURE(activate(builder, in<QWidget>(builder, "Button10")));
    EXPECT_EQ(WindowKeys::buttonForEnter(builder, builder.focusWidget()),
              in<QPushButton>(builder, "Button10"));
    press(builder, Qt::Key_Return);
    EXPECT_FALSE(builder.isVisible()) << "Enter on \"Отмена\" cancels";
}

TEST_F(KeyboardPaths, EachBuilderPageHasOneShownDefaultButton)
{
    TForm4& builder = *program->templateBuilder;
    builder.OpenOverMainWindow();
    const char* const defaults[] = {"Button1", "Button2", "Button3", "Button9", "Button17"};
    for (int page = 1; page <= 5; ++page) {
        QPushButton* button = WindowKeys::buttonForEnter(builder, nullptr);
        ASSERT_NE(button, nullptr) << page;
        EXPECT_EQ(button->objectName(), QLatin1String(defaults[page - 1]));
        if (page < 5)
            button->click();
    }
    // An empty name makes "Готово" unavailable, and Enter then presses nothing.
    in<QLineEdit>(builder, "Edit4")->clear();
    EXPECT_EQ(WindowKeys::buttonForEnter(builder, nullptr), nullptr);
}

TEST_F(KeyboardPaths, EveryShownBuilderButtonHasAnAccessLetterOfItsOwn)
{
    TForm4& builder = *program->templateBuilder;
    builder.OpenOverMainWindow();
    for (int page = 1; page <= 5; ++page) {
        QSet<QKeySequence> letters;
        int shown = 0;
        for (QPushButton* button : builder.findChildren<QPushButton*>()) {
            if (!button->isVisible() || button->y() < 300)
                continue;
            ++shown;
            EXPECT_FALSE(button->shortcut().isEmpty()) << button->objectName().toStdString();
            letters << button->shortcut();
        }
        EXPECT_GE(shown, 2) << page;
        EXPECT_EQ(letters.size(), shown) << "page " << page;
        if (QPushButton* next = WindowKeys::buttonForEnter(builder, nullptr); page < 5 && next)
            next->click();
    }
}

// Alt with a button's access letter presses that button, every button on every page, also from a
// text field.
TEST_F(KeyboardPaths, AltWithABuilderButtonsLetterPressesIt)
{
    TForm4& builder = *program->templateBuilder;
    form->show();
    const auto openAt = [&](int page) {
        builder.OpenOverMainWindow();
        for (int before = 1; before < page; ++before)
            WindowKeys::buttonForEnter(builder, nullptr)->click();
    };
    for (int page = 1; page <= 5; ++page) {
        openAt(page);
        QStringList names;
        for (QPushButton* button : builder.findChildren<QPushButton*>())
            if (button->isVisible() && !button->shortcut().isEmpty())
                names << button->objectName();
        builder.close();
        EXPECT_GE(names.size(), 2) << "page " << page;
        for (const QString& name : names) {
            openAt(page);
            ASSERT_NO_FATAL_FAILURE(activate(builder));
            if (auto* field = builder.findChild<QLineEdit*>(); field && field->isVisible())
                field->setFocus();
            auto* button = in<QPushButton>(builder, name.toLatin1().constData());
            const QKeyCombination letter = button->shortcut()[0];
            EXPECT_EQ(letter.keyboardModifiers(), Qt::AltModifier);
            QSignalSpy clicked(button, &QAbstractButton::clicked);
            press(builder, letter.key(), Qt::AltModifier, QString(QChar(letter.key())).toLower());
            // A button pressed by its letter shows itself down for a moment, then clicks.
            EXPECT_TRUE(clicked.count() == 1 || clicked.wait(5000))
                << "page " << page << ": " << button->text().toStdString();
            EXPECT_EQ(clicked.count(), 1);
            builder.close();
        }
    }
}

TEST_F(KeyboardPaths, EnterInTheChoosersListStartsTheSelectedTemplate)
{
    QFile file(templateDirectory() + QStringLiteral("/one.sbl"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<p>one</p>");
    file.close();
    form->show();
    TForm3& chooser = *program->templateChooser;
    chooser.OpenOverMainWindow();
    auto* list = in<QListWidget>(chooser, "FileListBox1");
    ASSERT_NO_FATAL_FAILURE(activate(chooser, list));
    list->setCurrentRow(0);
    press(chooser, Qt::Key_Return);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>one</p>"));
}

// --- Alt with a letter in the editor ------------------------------------------------------------

struct AltKeyCase
{
    const char* name;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool stray;
};

const AltKeyCase altKeyCases[] = {
    {"AltLetter", Qt::AltModifier, QStringLiteral("x"), true},
    {"AltShiftLetter", Qt::AltModifier | Qt::ShiftModifier, QStringLiteral("X"), true},
    {"AltCyrillic", Qt::AltModifier, QStringLiteral("н"), true},
    {"AltKeypadDigit", Qt::AltModifier | Qt::KeypadModifier, QStringLiteral("7"), true},
    {"PlainLetter", {}, QStringLiteral("x"), false},
    {"ShiftLetter", Qt::ShiftModifier, QStringLiteral("X"), false},
    // AltGr, as some systems report it.
    {"CtrlAltLetter", Qt::ControlModifier | Qt::AltModifier, QStringLiteral("@"), false},
    {"AltMetaLetter", Qt::AltModifier | Qt::MetaModifier, QStringLiteral("x"), false},
    {"AltArrow", Qt::AltModifier, QString(), false},
    {"AltEnter", Qt::AltModifier, QStringLiteral("\r"), false},
    {"AltBackspace", Qt::AltModifier, QStringLiteral("\b"), false},
};

class StrayAltKey : public ::testing::TestWithParam<AltKeyCase>
{};

TEST_P(StrayAltKey, IsAltWithoutCtrlWithAKeyThatTypes)
{
    const AltKeyCase& c = GetParam();
    const QKeyEvent event(QEvent::KeyPress, Qt::Key_X, c.modifiers, c.text);
    EXPECT_EQ(isStrayAltKey(event), c.stray);
}

INSTANTIATE_TEST_SUITE_P(Keys, StrayAltKey, ::testing::ValuesIn(altKeyCases),
                         [](const auto& c) { return std::string(c.param.name); });

TEST_F(KeyboardPaths, AltWithALetterTypesNothingAndKeepsTheSelection)
{
    form->HTML1Click();
    ASSERT_NO_FATAL_FAILURE(activate(*form, editor()));
    type(QStringLiteral("abc"));
    press(*form, Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("abc"));

    editor()->selectAll();
    press(*form, Qt::Key(0x041D), Qt::AltModifier, QStringLiteral("н"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("abc"));
    EXPECT_TRUE(editor()->hasSelection());

    press(*form, Qt::Key_X, {}, QStringLiteral("x"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("x")) << "typing still replaces the selection";
}

TEST_F(KeyboardPaths, AltWithAMenuLetterStillOpensTheMenu)
{
    form->HTML1Click();
    ASSERT_NO_FATAL_FAILURE(activate(*form, editor()));
    press(*form, Qt::Key(0x0424), Qt::AltModifier, QStringLiteral("ф")); // Alt+Ф: "&Файл"
    EXPECT_EQ(QApplication::activePopupWidget(), form->findChild<QMenu*>("N1"));
    EXPECT_EQ(editor()->Text(), QString());
}

// --- F10, the focus mark, the links
// ---------------------------------------------------------------

TEST_F(KeyboardPaths, F10OpensTheFirstMenuFromTheEditorAndTheSplitter)
{
    form->HTML1Click();
    for (const char* from : {"RichEdit1", "ScrollBar1"}) {
        ASSERT_NO_FATAL_FAILURE(activate(*form, in<QWidget>(*form, from)));
        press(*form, Qt::Key_F10);
        EXPECT_EQ(QApplication::activePopupWidget(), form->findChild<QMenu*>("N1")) << from;
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
    ASSERT_NO_FATAL_FAILURE(activate(*program->screenLens));
    press(*program->screenLens, Qt::Key_F10);
    EXPECT_EQ(QApplication::activePopupWidget(), program->screenLens->findChild<QMenu*>("N1"));
}

TEST_F(KeyboardPaths, TheSplitterShowsAFocusMarkOnlyWhileItHasTheFocus)
{
    form->HTML1Click();
    auto* splitter = in<QScrollBar>(*form, "ScrollBar1");
    const auto mark = [&]() -> QFocusFrame* {
        for (QFocusFrame* frame : form->findChildren<QFocusFrame*>())
            if (frame->widget() == splitter && frame->isVisible())
                return frame;
        return nullptr;
    };
    ASSERT_NO_FATAL_FAILURE(activate(*form, editor()));
    EXPECT_EQ(mark(), nullptr);
    splitter->setFocus();
    ASSERT_NE(mark(), nullptr);
    EXPECT_TRUE(mark()->geometry().contains(splitter->geometry()));
    editor()->setFocus();
    EXPECT_EQ(mark(), nullptr);
}

TEST_F(KeyboardPaths, TabReachesTheAboutLinksWhichOpenWithEnterOrSpace)
{
    TAboutBox& about = *program->aboutBox;
    ASSERT_NO_FATAL_FAILURE(activate(about));
    QList<QUrl> expected;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        press(about, Qt::Key_Tab);
        QWidget* link = about.focusWidget();
        ASSERT_TRUE(link == about.findChild<QWidget*>("Label7") ||
                    link == about.findChild<QWidget*>("Label5"));
        press(about, key);
        expected << (link->objectName() == QLatin1String("Label7")
                         ? QUrl(QStringLiteral("mailto:pagewright@example.org"))
                         : QUrl(QStringLiteral("https://pagewright.example.org/")));
        EXPECT_EQ(platform.fakeShell.opened, expected);
        EXPECT_TRUE(about.isVisible()) << "a link keeps the window open";
    }
    EXPECT_NE(expected.first(), expected.last()) << "Tab reached both links";
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(about.focusWidget());
    EXPECT_EQ(link->role(), QAccessible::Link);
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(platform.fakeShell.opened.size(), 3);
}

} // namespace
