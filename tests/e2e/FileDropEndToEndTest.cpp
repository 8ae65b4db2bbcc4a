// A file dropped on the preview while the real web engine shows a page opens in the editor: the
// engine's own widgets do not keep the drop.
#include "app/ProgramWindows.h"
#include "e2e/EndToEndPlatform.h"
#include "editor/MainWindow.h"
#include "platform/Browser.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// The widget that the window system's drop lands on at `pos` of `window`: the widget there, or
// the nearest of its parents that takes drops (as Qt picks it).
QWidget* dropTarget(QWidget* window, const QPoint& pos)
{
    QWidget* widget = window->childAt(pos);
    while (widget && !widget->isWindow() && !widget->acceptDrops())
        widget = widget->parentWidget();
    return widget && widget->acceptDrops() ? widget : nullptr;
}

TEST(FileDropEndToEnd, FileDroppedOnTheShownPageOpens)
{
    QTemporaryDir dir;
    for (const char* name : {"a.html", "b.html"}) {
        QFile out(dir.filePath(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QByteArray("<p>") + name + "</p>");
    }
    EndToEndPlatform platform;
    ProgramWindows windows(platform, dir.path());
    TForm1& form = *windows.mainWindow;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* preview = form.findChild<Browser*>("WebBrowser1");
    QSignalSpy loaded(preview, &Browser::documentComplete);
    platform.fakeDialogs.openAnswers.push_back({dir.filePath("a.html"), 1});
    form.N3Click();
    ASSERT_TRUE(loaded.wait(30000));

    const QPoint centre = preview->mapTo(&form, preview->rect().center());
    QWidget* target = dropTarget(&form, centre);
    ASSERT_NE(target, nullptr);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("b.html"))});
    const QPoint at = target->mapFrom(&form, centre);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted()) << target->metaObject()->className();
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());

    EXPECT_TRUE(
        QTest::qWaitFor([&] { return form.CurrentFileName() == dir.filePath("b.html"); }, 5000))
        << "dropped on " << target->metaObject()->className();
}

} // namespace
