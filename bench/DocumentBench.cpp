// A large document in the main window: open it, save it, and type at its end, through the
// window's own commands (fake dialogs answer with the file). One iteration of a typing
// benchmark is one key press and release plus the event processing that lays out and paints
// it, so its time is the time per keystroke, change handler included.
#include "LargeText.h"
#include "editor/MainWindow.h"
#include "support/FakePlatform.h"
#include "text/SourceEditor.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A shown main window holding the document.
struct Session
{
    explicit Session(const QByteArray& bytes)
    {
        path = dir.filePath("big.html");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        form.show();
    }
    void open()
    {
        platform.fakeDialogs.openAnswers = {{path, 1}};
        form.N3Click();
    }
    SourceEditor* editor() { return form.findChild<SourceEditor*>("RichEdit1"); }

    QTemporaryDir dir;
    QString path;
    FakePlatform platform;
    TForm1 form{platform};
};

void typeKey(QWidget* widget, int iteration)
{
    const QString letter(QChar(u'a' + iteration % 26));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + iteration % 26, Qt::NoModifier, letter);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + iteration % 26, Qt::NoModifier, letter);
    QCoreApplication::sendEvent(widget, &release);
    QCoreApplication::processEvents();
}

void openDocument(benchmark::State& state, const QByteArray& bytes)
{
    Session session(bytes);
    for (auto _ : state)
        session.open();
    if (session.editor()->TextLength() < bytes.size() * 9 / 10)
        state.SkipWithError("the document did not open");
}

void saveDocument(benchmark::State& state, const QByteArray& bytes)
{
    Session session(bytes);
    session.open();
    for (auto _ : state)
        session.form.N7Click();
    if (!session.platform.fakeDialogs.logOf("error").isEmpty())
        state.SkipWithError("the save failed");
}

void typeAtEnd(benchmark::State& state, const QByteArray& bytes)
{
    Session session(bytes);
    session.open();
    SourceEditor* editor = session.editor();
    editor->SetSelStart(editor->TextLength());
    editor->setFocus();
    QCoreApplication::processEvents();
    const int lengthBefore = editor->TextLength();
    int typed = 0;
    for (auto _ : state)
        typeKey(editor, typed++);
    if (editor->TextLength() != lengthBefore + typed)
        state.SkipWithError("the keys did not reach the editor");
    state.counters["keys"] = typed;
}

// Windows-1251 bytes: lines of HTML, and minified HTML on one line.
const QByteArray FiveMegabytes = repeatedToSize<QByteArray>(
    "<tr><td class=\"name\">\xcf\xf3\xed\xea\xf2</td><td>12 345</td></tr>\r\n", 5 * 1024 * 1024);
const QByteArray TwoMegabyteLine = repeatedToSize<QByteArray>(
    "<div class=\"card\"><a href=\"/item?id=42\">\xd2\xee\xe2\xe0\xf0</a></div>", 2 * 1024 * 1024);

BENCHMARK_CAPTURE(openDocument, 5MB, FiveMegabytes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(saveDocument, 5MB, FiveMegabytes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(typeAtEnd, 5MB, FiveMegabytes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1000);
BENCHMARK_CAPTURE(openDocument, 2MBLine, TwoMegabyteLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(saveDocument, 2MBLine, TwoMegabyteLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
// A keystroke on a 2 MB line takes a sizeable fraction of a second: fewer keys.
BENCHMARK_CAPTURE(typeAtEnd, 2MBLine, TwoMegabyteLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(40);

} // namespace
