// Find-next over a large document: the editor's search against a plain case-insensitive
// QString::indexOf over the same CR LF text. Also the cost of loading a large text.
#include "LargeText.h"
#include "text/SourceEditor.h"
#include "text/TextBuffer.h"

#include <benchmark/benchmark.h>

namespace {

const QString singleLineMarker = u"<DIV id=\"FinalMark\">"_qs;
const QString multiLineMarker = u"<div ID=\"Last\">\n<P>Конец"_qs;

struct LargeDocument
{
    SourceEditor editor;
    QString crlfText;

    LargeDocument()
    {
        editor.LoadText(
            htmlLikeText(20 * 1024 * 1024, singleLineMarker + u"\n"_qs + multiLineMarker));
        crlfText = editor.Text();
        // An edit in the middle, taken back, leaves the buffer's gap there: the search then
        // reads the text in two parts, as it does while the user edits.
        TextBuffer& buffer = *editor.buffer();
        buffer.insert(buffer.length() / 2, u"x"_qs);
        buffer.remove(buffer.length() / 2, 1);
    }
};

LargeDocument& largeDocument()
{
    static LargeDocument document;
    return document;
}

const QString singleLineNeedle = u"<div id=\"finalmark\">"_qs;
const QString multiLineNeedle = u"<DIV id=\"last\">\r\n<p>КОНЕЦ"_qs;

void BM_FindText20MB(benchmark::State& state, const QString& needle)
{
    LargeDocument& document = largeDocument();
    const int expected = int(document.crlfText.indexOf(needle, 0, Qt::CaseInsensitive));
    if (expected < 0 || expected < document.crlfText.size() / 2) {
        state.SkipWithError("the needle is not near the end");
        return;
    }
    for (auto _ : state) {
        const int found = document.editor.FindText(needle, 0, document.editor.TextLength());
        if (found != expected) {
            state.SkipWithError("FindText found another position");
            break;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * expected);
}

void BM_IndexOf20MB(benchmark::State& state, const QString& needle)
{
    LargeDocument& document = largeDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(document.crlfText.indexOf(needle, 0, Qt::CaseInsensitive));
    state.SetBytesProcessed(state.iterations() *
                            document.crlfText.indexOf(needle, 0, Qt::CaseInsensitive));
}

// The first search after an edit also copies the text once.
void BM_FindText20MBAfterEdit(benchmark::State& state, const QString& needle)
{
    LargeDocument& document = largeDocument();
    SourceEditor& editor = document.editor;
    for (auto _ : state) {
        state.PauseTiming();
        editor.SetSelStart(0);
        editor.SetSelLength(1);
        editor.SetSelText(editor.SelText());
        state.ResumeTiming();
        benchmark::DoNotOptimize(editor.FindText(needle, 0, editor.TextLength()));
    }
}

BENCHMARK_CAPTURE(BM_FindText20MBAfterEdit, one_line, singleLineNeedle)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindText20MB, one_line, singleLineNeedle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexOf20MB, one_line, singleLineNeedle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindText20MB, two_lines, multiLineNeedle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexOf20MB, two_lines, multiLineNeedle)->Unit(benchmark::kMillisecond);

void BM_LoadText5MB(benchmark::State& state)
{
    const QString text = htmlLikeText(5 * 1024 * 1024, singleLineMarker);
    SourceEditor editor;
    for (auto _ : state)
        editor.LoadText(text);
}
BENCHMARK(BM_LoadText5MB)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
