// The main window's command surface against one table: every menu in its order, the context
// menus, and the tool bar, as the window stands at start.
#include "support/MainWindowFixture.h"

#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>

namespace {

// An item of a menu: a separator is "-"; a submenu is named by its menu's object name.
struct MenuRow
{
    const char* menu;
    const char* item;
    const char* caption;
    const char* shortcut;
    const char* icon;  // resource name under :/icons, or "" for none
    const char* check; // "" not checkable, "on" or "off"
    bool enabled;
};

const MenuRow menuRows[] = {
    {"MainMenu1", "N1", "&Файл", "", "", "", true},
    {"MainMenu1", "N10", "&Правка", "", "", "", true},
    {"MainMenu1", "N38", "По&иск", "", "", "", true},
    {"MainMenu1", "N8", "&Вид", "", "", "", true},
    {"MainMenu1", "N16", "&Утилиты", "", "", "", true},
    {"MainMenu1", "N35", "&Справка", "", "", "", true},
    {"N1", "N2", "Новый", "", "", "", true},
    {"N1", "N3", "&Открыть...", "Ctrl+O", "open", "", true},
    {"N1", "N7", "&Сохранить", "Ctrl+S", "save", "", true},
    {"N1", "N4", "Сохранить &как...", "", "", "", true},
    {"N1", "-", "", "", "", "", true},
    {"N1", "N6", "В&ыход", "", "", "", true},
    {"N2", "HTML1", "HTML файл", "", "new", "", true},
    {"N2", "N28", "По шаблону...", "", "", "", true},
    {"N2", "N29", "Шаблон...", "", "", "", true},
    // No text control has the focus at start: the edit commands are disabled.
    {"N10", "Cut1", "&Отменить", "Ctrl+Z", "undo", "", false},
    {"N10", "-", "", "", "", "", true},
    {"N10", "N12", "&Вырезать", "Ctrl+X", "cut", "", false},
    {"N10", "N13", "&Копировать", "Ctrl+C", "copy", "", false},
    {"N10", "N14", "Вст&авить", "Ctrl+V", "paste", "", false},
    {"N10", "-", "", "", "", "", true},
    {"N10", "N17", "В&ыделить все", "Ctrl+A", "", "", false},
    {"N38", "N30", "&Найти...", "F3", "", "", false},
    {"N38", "N39", "Заменить", "F4", "", "", false},
    {"N8", "N9", "&Шрифт", "", "font", "", true},
    {"N8", "N40", "Цвета радактора", "", "", "", true},
    {"N8", "-", "", "", "", "", true},
    {"N8", "N21", "Обно&вить", "F5", "refresh", "", true},
    {"N8", "N27", "Во весь &экран", "F6", "", "", true},
    {"N8", "-", "", "", "", "", true},
    {"N8", "N18", "Панель инструментов", "", "", "on", true},
    {"N8", "N33", "По умолчанию", "", "", "", true},
    {"N8", "-", "", "", "", "", true},
    {"N8", "N34", "Разрешение", "", "", "", true},
    {"N8", "-", "", "", "", "", true},
    {"N8", "SyntaxHighlighting1", "Подсветка синтаксиса", "", "", "off", true},
    {"N8", "SpellChecking1", "Проверка орфографии", "", "", "off", true},
    {"N8", "LivePreview1", "Живой просмотр", "", "", "off", true},
    {"N40", "N41", "", "", "swatch-skyblue", "", true},
    {"N40", "N42", "", "", "swatch-white", "", true},
    {"N40", "N43", "", "", "swatch-black", "", true},
    {"N34", "N1024x7681", "1024x768", "", "", "", true},
    {"N16", "N37", "Цветной помощник", "", "", "off", true},
    {"N16", "N31", "Линза", "", "", "off", true},
    {"N35", "N36", "О программе...", "", "", "", true},
    {"PopupMenu1", "N19", "По умолчанию", "", "", "", true},
    {"PopupMenu2", "N20", "Вырезать", "Ctrl+X", "cut", "", false},
    {"PopupMenu2", "N23", "Копировать", "Ctrl+C", "copy", "", false},
    {"PopupMenu2", "N24", "Вставить", "Ctrl+V", "paste", "", false},
    {"PopupMenu2", "-", "", "", "", "", true},
    {"PopupMenu2", "SelectAll1", "Выделить все", "Ctrl+A", "", "", false},
    // Their states are set as the menu opens (EditCommandsTest); before that they are enabled.
    {"PopupMenu2", "-", "", "", "", "", true},
    {"PopupMenu2", "PopupUndo", "Отменить", "", "", "", true},
    {"PopupMenu2", "PopupRedo", "Повторить", "", "", "", true},
    {"PopupMenu2", "PopupDelete", "Удалить", "", "", "", true},
};

struct ButtonRow
{
    const char* name;
    int left;
    const char* hint;
    const char* icon;
    bool enabled;
};

const ButtonRow buttonRows[] = {
    {"SpeedButton1", 0, "Новый HTML", "new", true},
    {"SpeedButton2", 24, "Открыть", "open", true},
    {"SpeedButton3", 48, "Сохранить", "save", true},
    {"SpeedButton4", 80, "Отменить", "undo", false},
    {"SpeedButton5", 104, "Вырезать", "cut", false},
    {"SpeedButton6", 128, "Копировать", "copy", false},
    {"SpeedButton7", 152, "Вставить", "paste", false},
    {"SpeedButton9", 184, "Шрифт", "font", true},
    {"SpeedButton10", 208, "Обновить", "refresh", true},
    {"SpeedButton8", 240, "Найти", "find", false},
    {"SpeedButton11", 280, "", "back", false},
    {"SpeedButton12", 304, "", "forward", false},
};

QImage picture(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage resourcePicture(const char* name)
{
    return picture(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name))));
}

QString itemName(const QAction* action)
{
    if (action->isSeparator())
        return QStringLiteral("-");
    return action->menu() ? action->menu()->objectName() : action->objectName();
}

using CommandTable = MainWindowFixture;

TEST_F(CommandTable, MenusInOrderWithCaptionsShortcutsPicturesAndStates)
{
    QMap<QString, QStringList> expectedOrder;
    for (const MenuRow& row : menuRows)
        expectedOrder[QLatin1String(row.menu)] << QString::fromUtf8(row.item);

    for (auto it = expectedOrder.cbegin(); it != expectedOrder.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        QWidget* menu = form->findChild<QWidget*>(it.key());
        ASSERT_TRUE(qobject_cast<QMenu*>(menu) || qobject_cast<QMenuBar*>(menu));
        QStringList actual;
        for (const QAction* action : menu->actions())
            actual << itemName(action);
        EXPECT_EQ(actual, it.value());
    }

    QMap<QString, int> seen; // rows per menu so far, to find the row's action by position
    for (const MenuRow& row : menuRows) {
        SCOPED_TRACE(std::string(row.menu) + " " + row.item);
        QWidget* menu = form->findChild<QWidget*>(QLatin1String(row.menu));
        const int index = seen[QLatin1String(row.menu)]++;
        ASSERT_LT(index, menu->actions().size());
        const QAction* action = menu->actions().at(index);
        EXPECT_EQ(action->text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(row.shortcut)));
        EXPECT_EQ(action->isEnabled(), row.enabled);
        EXPECT_EQ(action->isCheckable(), *row.check != '\0');
        EXPECT_EQ(action->isChecked(), std::string(row.check) == "on");
        if (*row.icon)
            EXPECT_EQ(picture(action->icon()), resourcePicture(row.icon));
        else
            EXPECT_TRUE(action->icon().isNull());
    }
}

TEST_F(CommandTable, ToolBarButtonsAtTheirPlacesWithHintsPicturesAndStates)
{
    QWidget* panel = form->findChild<QWidget*>("Panel1");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->height(), 25);
    EXPECT_EQ(panel->findChildren<QToolButton*>().size(), std::size(buttonRows));
    for (const ButtonRow& row : buttonRows) {
        SCOPED_TRACE(row.name);
        QToolButton* b = button(row.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->parentWidget(), panel);
        EXPECT_EQ(b->geometry(), QRect(row.left, 0, 23, 25));
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(row.hint));
        EXPECT_EQ(b->isEnabled(), row.enabled);
        EXPECT_EQ(b->iconSize(), QSize(16, 16));
        EXPECT_EQ(picture(b->icon()), resourcePicture(row.icon));
    }
}

} // namespace
