// Typing at the end of large documents in a shown editor: one iteration is one key press and
// release followed by the event processing that lays out and paints the change, so the time
// per iteration is the time per keystroke. A plain QPlainTextEdit with the same settings is the
// baseline for the source editor.
#include "LargeText.h"
#include "text/SourceEditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

namespace {

void typeKey(QWidget& widget, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &release);
    QCoreApplication::processEvents();
}

void load(QPlainTextEdit& editor, const QString& text)
{
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    editor.setPlainText(text);
    editor.moveCursor(QTextCursor::End);
}

void load(SourceEditor& editor, const QString& text)
{
    editor.LoadText(text);
    editor.SetSelStart(editor.TextLength());
}

qsizetype lengthOf(const QPlainTextEdit& editor)
{
    return editor.document()->characterCount();
}

qsizetype lengthOf(const SourceEditor& editor)
{
    return editor.TextLength();
}

template <class Editor> void BM_TypeAtEnd(benchmark::State& state, const QString& text)
{
    Editor editor;
    editor.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.resize(785, 216);
    editor.show();
    load(editor, text);
    editor.setFocus();
    QCoreApplication::processEvents();
    typeKey(editor, Qt::Key_A, u"a"_qs); // the first layout of the last line is not a keystroke
    // Type a letter and delete it again, so the document keeps its size.
    bool erase = false;
    for (auto _ : state) {
        if (erase)
            typeKey(editor, Qt::Key_Backspace, QString());
        else
            typeKey(editor, Qt::Key_A, u"a"_qs);
        erase = !erase;
    }
    if (lengthOf(editor) < text.size()) {
        state.SkipWithError("the keys did not reach the editor");
    }
}

const QString fiveMegabytesOfLines = repeatedToSize(
    u"<tr><td class=\"name\">Пункт</td><td align=right>12 345</td></tr>\n"_qs, 5 * 1024 * 1024);
// Minified HTML: one line.
const QString twoMegabyteLine = repeatedToSize(
    u"<div class=\"card\"><a href=\"/item?id=42\">Товар</a><span>9.99</span></div>"_qs,
    2 * 1024 * 1024);

void BM_TypeLines5MB_QPlainTextEdit(benchmark::State& state)
{
    BM_TypeAtEnd<QPlainTextEdit>(state, fiveMegabytesOfLines);
}
void BM_TypeLines5MB_SourceEditor(benchmark::State& state)
{
    BM_TypeAtEnd<SourceEditor>(state, fiveMegabytesOfLines);
}
void BM_TypeOneLine2MB_QPlainTextEdit(benchmark::State& state)
{
    BM_TypeAtEnd<QPlainTextEdit>(state, twoMegabyteLine);
}
void BM_TypeOneLine2MB_SourceEditor(benchmark::State& state)
{
    BM_TypeAtEnd<SourceEditor>(state, twoMegabyteLine);
}

BENCHMARK(BM_TypeLines5MB_QPlainTextEdit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TypeLines5MB_SourceEditor)->Unit(benchmark::kMillisecond)->UseRealTime();
// A keystroke on the long line is slow: a few suffice.
BENCHMARK(BM_TypeOneLine2MB_QPlainTextEdit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK(BM_TypeOneLine2MB_SourceEditor)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

} // namespace
