// A screen reader announces the object that reports the focused state: with the real engine, the
// preview reports it only while the preview has the keyboard focus, and it shows the page's
// content, not an empty document.
#include "app/ProgramWindows.h"
#include "e2e/EndToEndPlatform.h"
#include "editor/MainWindow.h"
#include "support/TestFiles.h"
#include "text/SourceEditor.h"

#include <QAccessible>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

// What the accessible subtree of a widget holds: the names in it, and the nodes that report the
// focused state, with their path.
struct Subtree
{
    QStringList names;
    QStringList focused;

    void visit(QAccessibleInterface* node, const QString& path, int depth = 0)
    {
        if (!node || !node->isValid() || depth > 40 || names.size() > 2000)
            return;
        const QString name = node->text(QAccessible::Name);
        const QString here = path + QStringLiteral("/role %1 \"%2\"").arg(node->role()).arg(name);
        names << name;
        if (node->state().focused)
            focused << here;
        for (int i = 0; i < node->childCount(); ++i)
            visit(node->child(i), here, depth + 1);
    }
};

Subtree subtreeOf(QWidget* widget)
{
    Subtree tree;
    tree.visit(QAccessible::queryAccessibleInterface(widget), widget->objectName());
    return tree;
}

TEST(PreviewFocusEndToEnd, OnlyThePaneWithTheFocusReportsIt)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("page.html");
    writeFile(file, "<html><body><h1>Heading</h1><p>Text <a href=\"#x\">link</a></p>"
                    "<input value=field></body></html>");
    EndToEndPlatform platform;
    ProgramWindows windows(platform, dir.path());
    TForm1& form = *windows.mainWindow;
    platform.fakeDialogs.openAnswers.push_back({file, 1});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.N3Click();
    QWidget* preview = form.findChild<QWidget*>("WebBrowser1");
    ASSERT_NE(preview, nullptr);
    QWebEngineView* view = nullptr;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view = preview->findChild<QWebEngineView*>(); }, 30000));
    // A screen reader starts listening: the engine builds the page's tree from now on.
    QAccessible::setActive(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return subtreeOf(preview).names.contains("link"); }, 30000))
        << "the page's content is not in the preview's tree: "
        << subtreeOf(preview).names.join(", ").toStdString();

    // Without a window manager the engine's window can take the input focus; give it back.
    auto* editor = form.findChild<SourceEditor*>("RichEdit1");
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    editor->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }, 5000));
    ASSERT_FALSE(subtreeOf(editor).focused.isEmpty()) << "the editor does not report the focus";
    // The engine learns of the focus change asynchronously; give it time to report it wrongly.
    QTest::qWait(1000);
    EXPECT_EQ(subtreeOf(preview).focused.join("\n").toStdString(), "")
        << "the preview reports the focus while the editor has it";

    view->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !subtreeOf(preview).focused.isEmpty(); }, 10000))
        << "nothing in the focused preview reports the focus";
    EXPECT_EQ(subtreeOf(editor).focused.join("\n").toStdString(), "")
        << "the editor still reports the focus";
}

} // namespace
