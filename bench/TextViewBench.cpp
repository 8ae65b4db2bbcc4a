// The source editor on megabytes: opening and showing a 5 MB single line, keystrokes at its end
// and in its middle (each key with the repaint it causes), sideways scrolling along it, and keys
// on 5 MB of lines. Per-key figures are percentiles over 1000 keys, reported as counters.
#include "LargeText.h"
#include "text/SourceEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

const QString fiveMegabyteLine = repeatedToSize(
    u"<div class=\"card\"><a href=\"/item?id=42\">Товар</a><span>9.99</span></div>"_qs,
    5 * 1024 * 1024);
const QString fiveMegabytesOfLines = htmlLikeText(5 * 1024 * 1024, u"<!-- marker -->"_qs);

void process()
{
    // Twice: the first round posts the repaint, the second one paints.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void sendKey(QWidget& widget, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &release);
    process();
}

// Milliseconds at the given percentiles of `times` (nanoseconds).
void reportPercentiles(benchmark::State& state, std::vector<qint64> times)
{
    std::sort(times.begin(), times.end());
    const auto at = [&times](double fraction) {
        return double(times[std::min(times.size() - 1, std::size_t(fraction * times.size()))]) /
               1e6;
    };
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = double(times.back()) / 1e6;
}

struct ShownEditor
{
    SourceEditor editor;
    ShownEditor()
    {
        editor.resize(785, 216);
        editor.show();
        editor.setFocus();
        process();
    }
};

void BM_OpenAndShow5MBLine(benchmark::State& state)
{
    for (auto _ : state) {
        ShownEditor shown;
        shown.editor.LoadText(fiveMegabyteLine);
        process();
        benchmark::DoNotOptimize(shown.editor.TextLength());
        state.PauseTiming();
        {
            ShownEditor gone; // the destruction is not part of the open
        }
        state.ResumeTiming();
    }
}

void typeKeys(benchmark::State& state, const QString& text, double where)
{
    ShownEditor shown;
    SourceEditor& editor = shown.editor;
    editor.LoadText(text);
    editor.setCursorPosition(qsizetype(where * editor.buffer()->length()));
    process();
    std::vector<qint64> times;
    for (auto _ : state) {
        times.clear();
        for (int key = 0; key < 1000; ++key) {
            QElapsedTimer timer;
            timer.start();
            if (key % 10 == 9)
                sendKey(editor, Qt::Key_Space, u" "_qs);
            else
                sendKey(editor, Qt::Key_A, u"a"_qs);
            times.push_back(timer.nsecsElapsed());
        }
    }
    if (editor.buffer()->length() != text.size() + 1000 * qsizetype(state.iterations()))
        state.SkipWithError("the keys did not reach the editor");
    reportPercentiles(state, times);
}

void BM_Keys5MBLineAtEnd(benchmark::State& state)
{
    typeKeys(state, fiveMegabyteLine, 1.0);
}
void BM_Keys5MBLineInMiddle(benchmark::State& state)
{
    typeKeys(state, fiveMegabyteLine, 0.5);
}
void BM_Keys5MBLinesAtEnd(benchmark::State& state)
{
    typeKeys(state, fiveMegabytesOfLines, 1.0);
}
void BM_Keys5MBLinesInMiddle(benchmark::State& state)
{
    typeKeys(state, fiveMegabytesOfLines, 0.5);
}

// 1000 steps of the horizontal scroll bar from the start of the line to its end, each with
// its repaint; and 1000 single steps (arrow clicks) at the far end.
void BM_ScrollAlong5MBLine(benchmark::State& state)
{
    ShownEditor shown;
    SourceEditor& editor = shown.editor;
    editor.LoadText(fiveMegabyteLine);
    process();
    QScrollBar* bar = editor.horizontalScrollBar();
    std::vector<qint64> times;
    for (auto _ : state) {
        times.clear();
        for (int step = 1; step <= 1000; ++step) {
            QElapsedTimer timer;
            timer.start();
            bar->setValue(int(qint64(bar->maximum()) * step / 1000));
            process();
            times.push_back(timer.nsecsElapsed());
        }
        for (int step = 0; step < 1000; ++step) {
            QElapsedTimer timer;
            timer.start();
            bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
            process();
            times.push_back(timer.nsecsElapsed());
        }
        bar->setValue(0);
        process();
    }
    if (bar->maximum() < 1000000)
        state.SkipWithError("the line is not as wide as it should be");
    state.counters["width_px"] = bar->maximum();
    reportPercentiles(state, times);
}

BENCHMARK(BM_OpenAndShow5MBLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Keys5MBLineAtEnd)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Keys5MBLineInMiddle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Keys5MBLinesAtEnd)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Keys5MBLinesInMiddle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ScrollAlong5MBLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
