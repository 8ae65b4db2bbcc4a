// What a screen reader finds in each window: every shown control a user can operate, and every
// picture that carries something, has a name; windows are windows; fields are tied to their
// labels; pictures that carry nothing are not there at all.
#include "editor/FullScreenPreview.h"
#include "editor/NoticeBar.h"
#include "support/ProgramFixture.h"
#include "templates/TemplateBuilder.h"
#include "templates/TemplateChooser.h"
#include "utilities/AboutBox.h"
#include "utilities/ColourHelper.h"
#include "utilities/ScreenLens.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <functional>

namespace {

bool isOperable(const QAccessibleInterface& node)
{
    switch (node.role()) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::List:
    case QAccessible::Link:
    case QAccessible::Graphic:
    case QAccessible::EditableText:
    case QAccessible::MenuItem:
        return true;
    default:
        // Scroll bars of a scroll area take no focus and need no name; those that do are
        // controls of their own.
        return node.state().focusable;
    }
}

QString describe(const QAccessibleInterface& node)
{
    const QObject* object = node.object();
    return QStringLiteral("%1 %2")
        .arg(object ? object->objectName() : QStringLiteral("?"))
        .arg(int(node.role()));
}

struct TreeWalk
{
    QStringList unnamed;
    QStringList focused;
    QList<QObject*> objects;

    void visit(QAccessibleInterface* node, const QString& path, int depth = 0)
    {
        if (!node || depth > 50 || node->state().invisible)
            return;
        objects << node->object();
        const QString here = path + QLatin1Char('/') + describe(*node);
        if (isOperable(*node) && node->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << here;
        if (node->state().focused)
            focused << here;
        for (int i = 0; i < node->childCount(); ++i)
            visit(node->child(i), here, depth + 1);
    }
};

// The names of the items of every menu of `window`, shown or not; separators need none.
QStringList unnamedMenuItems(QWidget& window)
{
    QStringList unnamed;
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(menu);
        for (int i = 0; node && i < node->childCount(); ++i) {
            QAccessibleInterface* item = node->child(i);
            if (item && item->role() != QAccessible::Separator &&
                item->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << menu->objectName() + QLatin1Char('/') + QString::number(i);
        }
    }
    return unnamed;
}

class AccessibleTree : public ProgramFixture
{
protected:
    TreeWalk walk(QWidget& window)
    {
        TreeWalk tree;
        tree.visit(QAccessible::queryAccessibleInterface(&window), window.objectName());
        return tree;
    }

    QAccessibleInterface* nodeOf(QWidget& window, const char* name)
    {
        auto* widget = window.findChild<QWidget*>(QLatin1String(name));
        return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    }

    // Where "Далее >" of each page leads: pages 1 to 4, then 5.
    void nextPage(int page)
    {
        static const char* const next[] = {"Button1", "Button2", "Button3", "Button9"};
        QTest::mouseClick(program->templateBuilder->findChild<QPushButton*>(next[page - 1]),
                          Qt::LeftButton);
    }
};

struct WindowCase
{
    const char* name;
    std::function<QWidget*(ProgramWindows&, TForm1&)> show;
};

const WindowCase windowCases[] = {
    {"Main",
     [](ProgramWindows&, TForm1& main) -> QWidget* {
         main.show();
         return &main;
     }},
    {"FullScreenPreview",
     [](ProgramWindows& p, TForm1&) -> QWidget* {
         p.fullScreenPreview->showFullScreenPreview(800);
         return p.fullScreenPreview.get();
     }},
    {"TemplateChooser",
     [](ProgramWindows& p, TForm1&) -> QWidget* {
         p.templateChooser->OpenOverMainWindow();
         return p.templateChooser.get();
     }},
    {"TemplateBuilder",
     [](ProgramWindows& p, TForm1&) -> QWidget* {
         p.templateBuilder->OpenOverMainWindow();
         return p.templateBuilder.get();
     }},
    {"ColourHelper",
     [](ProgramWindows& p, TForm1&) -> QWidget* {
         p.colourHelper->show();
         return p.colourHelper.get();
     }},
    {"AboutBox",
     [](ProgramWindows& p, TForm1&) -> QWidget* {
         p.aboutBox->show();
         return p.aboutBox.get();
     }},
    {"ScreenLens",
     [](ProgramWindows& p, TForm1&) -> QWidget* {
         p.screenLens->show();
         return p.screenLens.get();
     }},
};

class EachWindow : public AccessibleTree, public ::testing::WithParamInterface<WindowCase>
{};

TEST_P(EachWindow, IsAWindowWhoseShownControlsAndMenuItemsAllHaveNames)
{
    QWidget* window = GetParam().show(*program, *form);
    ASSERT_TRUE(window->isVisible());
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->role(), QAccessible::Window);
    EXPECT_FALSE(node->text(QAccessible::Name).isEmpty());

    const TreeWalk tree = walk(*window);
    EXPECT_GT(tree.objects.size(), 2);
    EXPECT_EQ(tree.unnamed, QStringList());
    EXPECT_EQ(unnamedMenuItems(*window), QStringList());
}

INSTANTIATE_TEST_SUITE_P(AccessibleTree, EachWindow, ::testing::ValuesIn(windowCases),
                         [](const auto& c) { return std::string(c.param.name); });

TEST_F(AccessibleTree, EveryPageOfTheBuilderHasNamedControls)
{
    TForm4& builder = *program->templateBuilder;
    builder.OpenOverMainWindow();
    // The page's check box ticked, so that its fields are available as a user finds them.
    const char* const options[] = {"CheckBox1", "CheckBox5", "CheckBox6", "CheckBox12"};
    for (int page = 1; page <= 5; ++page) {
        if (page <= 4)
            builder.findChild<QAbstractButton*>(options[page - 1])->setChecked(true);
        const TreeWalk tree = walk(builder);
        EXPECT_EQ(tree.unnamed, QStringList()) << "page " << page;
        if (page < 5)
            nextPage(page);
    }
}

// A screen reader announces what reports the focus: a text field with the focus is the only
// node of its window that does, not also the viewport it draws its text in.
TEST_F(AccessibleTree, ATextFieldWithTheFocusIsTheOnlyFocusedNodeOfItsWindow)
{
    struct FieldCase
    {
        QWidget* window;
        const char* field;
        int builderPage;
        // The page's check box that makes the field available, if any.
        const char* option;
    };
    form->show();
    form->HTML1Click();
    // The main window first: the chooser and the builder are modal.
    const FieldCase cases[] = {{form.get(), "RichEdit1", 0, nullptr},
                               {program->templateChooser.get(), "Memo1", 0, nullptr},
                               {program->templateBuilder.get(), "RichEdit1", 2, "CheckBox5"},
                               {program->templateBuilder.get(), "Memo1", 5, nullptr}};
    for (const FieldCase& field : cases) {
        if (field.window == program->templateChooser.get())
            program->templateChooser->OpenOverMainWindow();
        if (field.builderPage) {
            program->templateBuilder->OpenOverMainWindow();
            for (int page = 1; page < field.builderPage; ++page)
                nextPage(page);
            if (field.option)
                field.window->findChild<QAbstractButton*>(field.option)->setChecked(true);
        }
        auto* widget = field.window->findChild<QWidget*>(QLatin1String(field.field));
        ASSERT_NE(widget, nullptr) << field.field;
        field.window->show();
        QApplication::setActiveWindow(field.window);
        widget->setFocus();
        ASSERT_TRUE(widget->hasFocus()) << field.field;
        const QStringList focused = walk(*field.window).focused;
        ASSERT_EQ(focused.size(), 1) << field.field << ": " << focused.join(", ").toStdString();
        EXPECT_TRUE(focused.first().contains(QLatin1String(field.field))) << field.field;
    }
}

// A notice's controls say what they do: the close button's "✕" would be read as a symbol.
TEST_F(AccessibleTree, TheNoticesControlsHaveNamesInWords)
{
    form->show();
    auto* notice = form->findChild<NoticeBar*>();
    ASSERT_NE(notice, nullptr);
    notice->showNotice(QStringLiteral("Файл изменён другой программой."),
                       {{QStringLiteral("Перечитать"), [] {}}});
    QStringList names;
    for (QAbstractButton* button : notice->findChildren<QAbstractButton*>()) {
        if (!button->isVisible())
            continue;
        const QString name = QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
        names << name;
        EXPECT_TRUE(std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.isLetter(); }))
            << button->objectName().toStdString() << ": " << name.toStdString();
    }
    EXPECT_EQ(names.size(), 2) << names.join(", ").toStdString();
}

TEST_F(AccessibleTree, TheHeadFieldsAreNamedForWhatTheyHoldAndTiedToTheirLabels)
{
    TForm4& builder = *program->templateBuilder;
    QSet<QString> names;
    for (const char* field : {"Edit1", "Edit2", "Edit3", "Edit4"}) {
        QAccessibleInterface* node = nodeOf(builder, field);
        ASSERT_NE(node, nullptr) << field;
        names << node->text(QAccessible::Name);
        EXPECT_NE(node->text(QAccessible::Name), QStringLiteral("Элементы заголовка")) << field;
        EXPECT_FALSE(node->relations(QAccessible::Label).isEmpty()) << field;
    }
    EXPECT_EQ(names.size(), 4);
}

TEST_F(AccessibleTree, ColourHelperControlsNameTheirGroupAndChannelAndHaveLabels)
{
    TForm5& helper = *program->colourHelper;
    QSet<QString> names;
    QList<QWidget*> controls;
    for (QScrollBar* bar : helper.findChildren<QScrollBar*>())
        controls << bar;
    for (QLineEdit* edit : helper.findChildren<QLineEdit*>())
        controls << edit;
    ASSERT_EQ(controls.size(), 14);
    for (QWidget* control : controls) {
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(control);
        const QString name = node->text(QAccessible::Name);
        names << name;
        EXPECT_TRUE(name.startsWith(QStringLiteral("Фон: ")) ||
                    name.startsWith(QStringLiteral("Текст: ")))
            << control->objectName().toStdString() << " " << name.toStdString();
        EXPECT_FALSE(node->relations(QAccessible::Label).isEmpty())
            << control->objectName().toStdString();
    }
    EXPECT_EQ(names.size(), 14) << "every control has a name of its own";
}

TEST_F(AccessibleTree, TheChoosersStampIsLeftOutAndTheAboutPictureIsNamed)
{
    program->templateChooser->OpenOverMainWindow();
    const TreeWalk chooser = walk(*program->templateChooser);
    EXPECT_FALSE(chooser.objects.contains(program->templateChooser->findChild<QWidget*>("Image1")));
    EXPECT_TRUE(
        chooser.objects.contains(program->templateChooser->findChild<QWidget*>("FileListBox1")));

    program->aboutBox->show();
    QAccessibleInterface* picture = nodeOf(*program->aboutBox, "Image1");
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->text(QAccessible::Name).isEmpty());
    EXPECT_TRUE(walk(*program->aboutBox).objects.contains(picture->object()));
}

TEST_F(AccessibleTree, ThePreviewsTheEditorAndTheSplitterAreNamed)
{
    QAccessibleInterface* mainPreview = nodeOf(*form, "WebBrowser1");
    QAccessibleInterface* fullPreview = nodeOf(*program->fullScreenPreview, "WebBrowser1");
    QAccessibleInterface* editor = nodeOf(*form, "RichEdit1");
    QAccessibleInterface* splitter = nodeOf(*form, "ScrollBar1");
    for (QAccessibleInterface* node : {mainPreview, fullPreview, editor, splitter}) {
        ASSERT_NE(node, nullptr);
        EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << describe(*node).toStdString();
    }
    EXPECT_NE(mainPreview->text(QAccessible::Name), fullPreview->text(QAccessible::Name));
}

TEST_F(AccessibleTree, TheSwatchItemsSayTheirColourAndPressLikeAClick)
{
    auto* schemes = form->findChild<QMenu*>("N40");
    ASSERT_NE(schemes, nullptr);
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(schemes);
    ASSERT_EQ(menu->childCount(), 3);
    QSet<QString> names;
    for (int i = 0; i < 3; ++i)
        names << menu->child(i)->text(QAccessible::Name);
    EXPECT_EQ(names.size(), 3);
    EXPECT_EQ(menu->child(0)->parent()->object(), schemes);

    form->HTML1Click();
    QAccessibleActionInterface* black = menu->child(2)->actionInterface();
    ASSERT_NE(black, nullptr);
    black->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(editor()->palette().color(QPalette::Base), QColor(Qt::black));
}

} // namespace
