// The editor's commands in the main window: the edit actions and everything bound to them, the
// editor's first look, the font command, the colour schemes and the Alt+arrow keys.
#include "support/MainWindowFixture.h"
#include "widgets/FontDialog.h"
#include "widgets/FontResolution.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

namespace {

class EditCommands : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        QGuiApplication::clipboard()->clear();
        form->show();
        QApplication::setActiveWindow(form.get());
        form->HTML1Click(); // enables the editor and gives it the focus
    }

    // The enabled state of every item bound to each edit action, in the order undo, cut, copy,
    // paste, select all; an item that disagrees with the others of its action shows as '?'.
    std::string boundItemStates() const
    {
        const std::vector<std::vector<QObject*>> bound = {
            {action("Cut1"), button("SpeedButton4")},
            {action("N12"), button("SpeedButton5"), action("N20")},
            {action("N13"), button("SpeedButton6"), action("N23")},
            {action("N14"), button("SpeedButton7"), action("N24")},
            {action("N17"), action("SelectAll1")},
        };
        std::string states;
        for (const auto& items : bound) {
            const bool first = items.front()->property("enabled").toBool();
            bool same = true;
            for (QObject* item : items)
                same = same && item->property("enabled").toBool() == first;
            states += same ? (first ? '1' : '0') : '?';
        }
        return states;
    }

    void key(QWidget* target, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(target, k, modifiers);
    }

    QColor editorColor(QPalette::ColorRole role) const
    {
        return editor()->palette().color(QPalette::Active, role);
    }
};

TEST_F(EditCommands, EnablingFollowsFocusSelectionClipboardAndUndo)
{
    ASSERT_TRUE(editor()->hasFocus());
    EXPECT_EQ(boundItemStates(), "00000"); // empty editor, empty clipboard

    type("abc");
    EXPECT_EQ(boundItemStates(), "10001"); // text, no selection

    key(editor(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(boundItemStates(), "11101");

    key(editor(), Qt::Key_C, Qt::ControlModifier); // copy puts text on the clipboard
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "c");
    EXPECT_EQ(boundItemStates(), "11111");

    // Another window or program active: the editor keeps its place as the target.
    QApplication::setActiveWindow(nullptr);
    EXPECT_EQ(boundItemStates(), "11111");
    QApplication::setActiveWindow(form.get());

    // Another control takes the focus: nothing to work on.
    form->findChild<QScrollBar*>("ScrollBar1")->setFocus();
    EXPECT_EQ(boundItemStates(), "00000");
    editor()->setFocus();
    EXPECT_EQ(boundItemStates(), "11111");

    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(boundItemStates(), "11101");
}

TEST_F(EditCommands, KeysMenuItemsButtonsAndContextMenuDoTheEdits)
{
    type("one two");
    key(editor(), Qt::Key_A, Qt::ControlModifier);
    key(editor(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(editor()->Text(), "");
    key(editor(), Qt::Key_V, Qt::ControlModifier);
    key(editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor()->Text(), "one twoone two");
    key(editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor()->Text(), "one two");

    // Through the items: select all from the menu, copy from the context menu, cut from the
    // tool bar, paste twice from the menu, undo from the tool bar.
    action("N17")->trigger();
    EXPECT_EQ(editor()->SelLength(), 7);
    action("N23")->trigger();
    button("SpeedButton5")->click();
    EXPECT_EQ(editor()->Text(), "");
    action("N14")->trigger();
    action("N14")->trigger();
    EXPECT_EQ(editor()->Text(), "one twoone two");
    button("SpeedButton4")->click();
    EXPECT_EQ(editor()->Text(), "one two");
    EXPECT_TRUE(editor()->hasFocus());
}

TEST_F(EditCommands, EditorStartsWithTheWindowsFontSkyBlueNoWrapAndTheContextMenu)
{
    SourceEditor* edit = editor();
    const QFont windowFont = resolveFont("MS Sans Serif", 11);
    EXPECT_EQ(edit->font().family(), windowFont.family());
    EXPECT_EQ(edit->font().pixelSize(), 11);
    EXPECT_EQ(form->findChild<QWidget*>("StatusPanel1")->font().family(), windowFont.family());
    EXPECT_EQ(editorColor(QPalette::Base), QColor(166, 202, 240));
    // No wrapping: a line wider than the editor scrolls sideways.
    edit->LoadText(QString(2000, u'w'));
    EXPECT_GT(edit->horizontalScrollBar()->maximum(), edit->viewport()->width());
    edit->Clear();
    EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    key(edit, Qt::Key_Tab);
    EXPECT_EQ(edit->Text(), "\t");
    EXPECT_TRUE(edit->hasFocus());

    type("x");
    edit->selectAll();
    auto* popup = form->findChild<QMenu*>("PopupMenu2");
    emit edit->customContextMenuRequested(QPoint(5, 5));
    ASSERT_TRUE(popup->isVisible());
    // While the menu is open the edit commands still see the editor.
    EXPECT_TRUE(action("N20")->isEnabled());
    EXPECT_TRUE(action("SelectAll1")->isEnabled());
    popup->hide();
}

TEST_F(EditCommands, FontDialogStartsAtTheEditorsFontAndRemembersTheLastConfirmedFont)
{
    const QFont before = editor()->font();
    const QColor textBefore = editorColor(QPalette::Text);

    // Cancelled, from the menu and from the tool bar: nothing changes.
    form->N9Click();
    EXPECT_EQ(dialogs().lastFontShown.font, before);
    EXPECT_EQ(dialogs().lastFontShown.color, textBefore);
    button("SpeedButton9")->click();
    EXPECT_EQ(dialogs().log, QStringList({"font", "font"}));
    EXPECT_EQ(editor()->font(), before);
    EXPECT_EQ(editorColor(QPalette::Text), textBefore);

    // Confirmed unchanged: the editor keeps its font.
    dialogs().fontAnswers = {dialogs().lastFontShown};
    action("N9")->trigger();
    EXPECT_EQ(editor()->font(), before);
    EXPECT_EQ(editorColor(QPalette::Text), textBefore);

    // Another font and colour; the next use starts from it, and a cancel keeps it.
    EditorFont large{resolveFont("MS Sans Serif", 20), QColor(Qt::yellow)};
    large.font.setItalic(true);
    dialogs().fontAnswers = {large, std::nullopt};
    form->SpeedButton9Click();
    EXPECT_EQ(editor()->font().family(), large.font.family());
    EXPECT_EQ(editor()->font().pixelSize(), 20);
    EXPECT_TRUE(editor()->font().italic());
    EXPECT_EQ(editorColor(QPalette::Text), QColor(Qt::yellow));
    form->N9Click();
    EXPECT_EQ(dialogs().lastFontShown.font, large.font);
    EXPECT_EQ(dialogs().lastFontShown.color, QColor(Qt::yellow));
    EXPECT_EQ(editor()->font().pixelSize(), 20);
}

// The context menu keeps its four items first and adds undo, redo and delete after them, enabled
// as the editor allows.
TEST_F(EditCommands, ContextMenuAddsUndoRedoAndDeleteAfterItsFourItems)
{
    auto* popup = form->findChild<QMenu*>("PopupMenu2");
    ASSERT_NE(popup, nullptr);
    QStringList captions;
    for (const QAction* item : popup->actions())
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    ASSERT_EQ(captions, QStringList({"Вырезать", "Копировать", "Вставить", "-", "Выделить все", "-",
                                     "Отменить", "Повторить", "Удалить"}));
    const auto item = [popup](const QString& caption) {
        for (QAction* action : popup->actions()) {
            if (action->text() == caption)
                return action;
        }
        return static_cast<QAction*>(nullptr);
    };
    struct Expected
    {
        bool undo;
        bool redo;
        bool remove;
    };
    SourceEditor* edit = editor();
    const auto open = [&](const Expected& expected) {
        emit edit->customContextMenuRequested(QPoint(5, 5));
        EXPECT_EQ(item("Отменить")->isEnabled(), expected.undo);
        EXPECT_EQ(item("Повторить")->isEnabled(), expected.redo);
        EXPECT_EQ(item("Удалить")->isEnabled(), expected.remove);
        popup->hide();
    };
    edit->setFocus();
    open({false, false, false});
    type("abc");
    open({true, false, false});
    edit->setSelection(0, 1);
    open({true, false, true});
    item("Удалить")->trigger();
    EXPECT_EQ(edit->Text(), "bc");
    item("Отменить")->trigger();
    EXPECT_EQ(edit->Text(), "abc");
    open({true, true, false});
    item("Повторить")->trigger();
    EXPECT_EQ(edit->Text(), "bc");
    edit->setReadOnly(true);
    edit->selectAll();
    open({false, false, false});
}

TEST_F(EditCommands, SchemesSetOnlyTheBackground)
{
    const QColor text = editorColor(QPalette::Text);
    const QFont font = editor()->font();
    const struct
    {
        const char* item;
        QColor background;
    } schemes[] = {
        {"N43", QColor(0, 0, 0)}, {"N42", QColor(255, 255, 255)}, {"N41", QColor(166, 202, 240)}};
    for (const auto& scheme : schemes) {
        action(scheme.item)->trigger();
        EXPECT_EQ(editorColor(QPalette::Base), scheme.background) << scheme.item;
        EXPECT_EQ(editorColor(QPalette::Text), text) << scheme.item;
        EXPECT_EQ(editor()->font(), font) << scheme.item;
    }
}

TEST_F(EditCommands, AltArrowsPressTheHistoryButtonsWithExactlyAlt)
{
    QWidget* splitter = form->findChild<QScrollBar*>("ScrollBar1");
    auto history = [&](QWidget* target, Qt::Key k, Qt::KeyboardModifiers modifiers) {
        preview()->calls.clear();
        key(target, k, modifiers);
        return preview()->calls;
    };
    const QStringList none;
    for (QWidget* target : {(QWidget*)editor(), splitter}) {
        SCOPED_TRACE(target->objectName().toStdString());
        target->setFocus();
        emit preview()->commandStateChange(Browser::BackCommand, false);
        emit preview()->commandStateChange(Browser::ForwardCommand, false);
        EXPECT_EQ(history(target, Qt::Key_Left, Qt::AltModifier), none);

        emit preview()->commandStateChange(Browser::BackCommand, true);
        EXPECT_EQ(history(target, Qt::Key_Left, Qt::AltModifier), QStringList{"back"});
        EXPECT_EQ(history(target, Qt::Key_Left, Qt::AltModifier | Qt::ControlModifier), none);
        EXPECT_EQ(history(target, Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier), none);
        EXPECT_EQ(history(target, Qt::Key_Left, Qt::NoModifier), none);
        // Forward is disabled: Alt+Right does not fall back to the back button.
        EXPECT_EQ(history(target, Qt::Key_Right, Qt::AltModifier), none);

        emit preview()->commandStateChange(Browser::ForwardCommand, true);
        EXPECT_EQ(history(target, Qt::Key_Right, Qt::AltModifier), QStringList{"forward"});
        EXPECT_EQ(history(target, Qt::Key_Up, Qt::AltModifier), none);
    }

    // The splitter still gets the keys: like a native bar it ignores Alt+arrows, and plain
    // arrows move it the way they point.
    auto* bar = static_cast<QScrollBar*>(splitter);
    splitter->setFocus();
    const int position = bar->value();
    key(splitter, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(bar->value(), position);
    key(splitter, Qt::Key_Left, Qt::NoModifier);
    EXPECT_EQ(bar->value(), position - 1);
    key(splitter, Qt::Key_PageDown, Qt::NoModifier);
    EXPECT_EQ(bar->value(), position + 19);
}

} // namespace
