// The text buffer alone: typing into large texts, position lookups, find-next against a plain
// case-insensitive QString::indexOf, Replace All and its undo, and opening a 500 MB file.
#include "LargeText.h"
#include "document/DocumentFormat.h"
#include "text/TextBuffer.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <random>

namespace {

// CPU time of this thread: on a busy shared machine wall time also counts waiting for a core.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

const qsizetype FiveMegabytes = 5 * 1024 * 1024;

QString fiveMegabyteLine()
{
    return repeatedToSize(u"<td class=\"name\">Наименование товара</td><td>12,50</td> "_qs,
                          FiveMegabytes);
}

QString fiveMegabytesOfLines()
{
    return repeatedToSize(
        u"<tr><td class=\"name\">Наименование товара</td><td>12,50</td></tr>\r\n<p>Lorem ipsum</p>\n"_qs,
        FiveMegabytes);
}

// One typed character a iteration at a caret that moves on; reports the slowest key too (the
// first key of a run also moves the gap there).
void typeKeys(benchmark::State& state, const QString& text, double where)
{
    TextBuffer buffer;
    // A string of its own, as a decoded file is: a shared one would be copied on the first key.
    buffer.setText(QString(text.constData(), text.size()));
    qsizetype caret = qsizetype(double(buffer.length()) * where);
    const QString keys = u"typed text, a word or two "_qs;
    double slowest = 0;
    double slowestCpu = 0;
    int i = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadSeconds();
        buffer.insert(caret++, keys.at(i++ % keys.size()), TextBuffer::EditKind::Typing);
        slowestCpu = std::max(slowestCpu, threadSeconds() - cpuStart);
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        slowest = std::max(slowest, took.count());
    }
    state.counters["slowest_us"] = slowest;
    state.counters["slowest_cpu_us"] = slowestCpu * 1e6;
}

BENCHMARK_CAPTURE(typeKeys, line_end, fiveMegabyteLine(), 1.0)->Iterations(1000);
BENCHMARK_CAPTURE(typeKeys, line_middle, fiveMegabyteLine(), 0.5)->Iterations(1000);
BENCHMARK_CAPTURE(typeKeys, lines_end, fiveMegabytesOfLines(), 1.0)->Iterations(1000);
BENCHMARK_CAPTURE(typeKeys, lines_middle, fiveMegabytesOfLines(), 0.5)->Iterations(1000);

// Lookups in a 5 MB text of lines whose gap sits in the middle.
struct LookupText
{
    TextBuffer buffer;
    std::vector<qsizetype> positions;

    LookupText()
    {
        buffer.setText(fiveMegabytesOfLines());
        buffer.insert(buffer.length() / 2, u"x"_qs);
        std::mt19937 random(7);
        for (int i = 0; i < 4096; ++i) {
            positions.push_back(
                std::uniform_int_distribution<qsizetype>(0, buffer.length())(random));
        }
    }
};

LookupText& lookupText()
{
    static LookupText text;
    return text;
}

// One of the O(log n) position lookups, over positions spread through the text.
void BM_Lookup(benchmark::State& state, qsizetype (TextBuffer::*lookup)(qsizetype) const)
{
    LookupText& text = lookupText();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize((text.buffer.*lookup)(text.positions[i++ % 4096]));
}
BENCHMARK_CAPTURE(BM_Lookup, LineAt, &TextBuffer::lineAt);
BENCHMARK_CAPTURE(BM_Lookup, ToCrlf, &TextBuffer::toCrlf);
BENCHMARK_CAPTURE(BM_Lookup, FromCrlf, &TextBuffer::fromCrlf);

// Find-next over 20 MB is measured through the editor control in FindBench.cpp.

// Replace All over 5 MB with 655k matches, and its undo, each timed alone.
const QString replaceText = repeatedToSize(u"<b>x</b>"_qs, FiveMegabytes);

void BM_ReplaceAll600k(benchmark::State& state)
{
    TextBuffer buffer;
    buffer.setText(replaceText);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadSeconds();
        const qsizetype count = buffer.replaceAll(u"<B>"_qs, u"<strong>"_qs, 0, buffer.length());
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["cpu_ms"] = (threadSeconds() - cpuStart) * 1000;
        state.counters["matches"] = double(count);
        buffer.undo();
    }
}
BENCHMARK(BM_ReplaceAll600k)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReplaceAll600kUndo(benchmark::State& state)
{
    TextBuffer buffer;
    buffer.setText(replaceText);
    for (auto _ : state) {
        buffer.replaceAll(u"<B>"_qs, u"<strong>"_qs, 0, buffer.length());
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadSeconds();
        buffer.undo();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["cpu_ms"] = (threadSeconds() - cpuStart) * 1000;
    }
    if (buffer.text() != replaceText)
        state.SkipWithError("undo did not restore the text");
}
BENCHMARK(BM_ReplaceAll600kUndo)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReplaceAll600kRedo(benchmark::State& state)
{
    TextBuffer buffer;
    buffer.setText(replaceText);
    buffer.replaceAll(u"<B>"_qs, u"<strong>"_qs, 0, buffer.length());
    for (auto _ : state) {
        buffer.undo();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadSeconds();
        buffer.redo();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["cpu_ms"] = (threadSeconds() - cpuStart) * 1000;
    }
}
BENCHMARK(BM_ReplaceAll600kRedo)->UseManualTime()->Unit(benchmark::kMillisecond);

// Replace All of one letter by another over 4 MB of that letter: 4 million matches.
void BM_ReplaceAllOneLetter4MB(benchmark::State& state)
{
    TextBuffer buffer;
    buffer.setText(QString(4 * 1024 * 1024, u'a'));
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadSeconds();
        buffer.replaceAll(u"A"_qs, u"b"_qs, 0, buffer.length());
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["cpu_ms"] = (threadSeconds() - cpuStart) * 1000;
        buffer.undo();
    }
}
BENCHMARK(BM_ReplaceAllOneLetter4MB)->UseManualTime()->Unit(benchmark::kMillisecond);

// Loading 500 million characters of HTML lines (a 500 MB single-byte file decoded) and indexing
// their lines.
void BM_SetText500MB(benchmark::State& state)
{
    const QString block = htmlLikeText(8 * 1024 * 1024, u"<p>end</p>"_qs);
    for (auto _ : state) {
        auto buffer = std::make_unique<TextBuffer>();
        QString text = repeatedToSize(block, 500 * 1000 * 1000);
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadSeconds();
        buffer->setText(std::move(text));
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["cpu_ms"] = (threadSeconds() - cpuStart) * 1000;
        state.counters["lines"] = double(buffer->lineCount());
        // The first key in the middle moves half the text once.
        const double keyStart = threadSeconds();
        buffer->insert(buffer->length() / 2, u"x"_qs, TextBuffer::EditKind::Typing);
        state.counters["first_key_cpu_ms"] = (threadSeconds() - keyStart) * 1000;
    }
}
BENCHMARK(BM_SetText500MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// Opening a 500 MB Windows-1251 file of HTML lines: read, decode, load into the buffer with its
// line index. The file is written once into the temporary folder. Run this one alone under
// /usr/bin/time -v for its peak memory.
QString largeFilePath()
{
    const QString path = QDir::temp().filePath(u"pagewright-bench-500mb.html"_qs);
    const qint64 size = 500LL * 1000 * 1000;
    if (QFileInfo(path).size() == size)
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    const QByteArray block =
        encodeDocument(htmlLikeText(8 * 1024 * 1024, u"<p>end</p>"_qs), newDocumentFormat());
    for (qint64 written = 0; written < size;)
        written += file.write(block.left(std::min<qint64>(block.size(), size - written)));
    return path;
}

void BM_Open500MB(benchmark::State& state)
{
    const QString path = largeFilePath();
    for (auto _ : state) {
        TextBuffer buffer;
        const double cpuStart = threadSeconds();
        double decoded = 0;
        {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                state.SkipWithError("cannot read the large file");
                break;
            }
            QString text = decodeDocument(file.readAll()).text;
            decoded = threadSeconds();
            buffer.setText(std::move(text));
        }
        const double loaded = threadSeconds();
        state.counters["read_decode_cpu_ms"] = (decoded - cpuStart) * 1000;
        state.counters["set_text_cpu_ms"] = (loaded - decoded) * 1000;
        state.counters["lines"] = double(buffer.lineCount());
        state.counters["chars"] = double(buffer.length());
    }
}
BENCHMARK(BM_Open500MB)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace
