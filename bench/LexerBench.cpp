// Throughput of the HTML lexer over large pages, and what a view pays to colour one screen of a
// large page from its saved states.
#include "LargeText.h"
#include "syntax/HtmlLexer.h"
#include "syntax/LexCheckpoints.h"

#include <benchmark/benchmark.h>

namespace {

// A page with markup, text, script and style in the proportions of a real page.
QString mixedPage(qsizetype size)
{
    const QString piece =
        uR"(<div class="item" id="n1"><a href="page.html?x=1&amp;y=2">Пример текста</a>
<p>Lorem ipsum dolor sit amet, &nbsp; consectetur <b>adipiscing</b> elit.</p>
<!-- a comment about the list -->
<script>for (var i = 0; i < 10; i++) { total += items[i].price * 1.2; } // sum
var re = /^[a-z]+$/i; var s = "string with \"quotes\"";</script>
<style>@media screen { .item a:hover { color: #336699; margin: 0 4px; } } p { font: 12px "Arial"; }</style>
<table><tr><td align=center>Ячейка</td><td>{{ value }}</td></tr></table></div>
)"_qs;
    return repeatedToSize(piece, size);
}

void BM_LexWholePage(benchmark::State& state, const QString& text)
{
    std::vector<TokenRun> runs;
    runs.reserve(std::size_t(text.size() / 4));
    for (auto _ : state) {
        runs.clear();
        benchmark::DoNotOptimize(HtmlLexer::lex(LexState(), text, text.size(), runs));
    }
    // Bytes of the page as a single-byte file: one per character.
    state.SetBytesProcessed(state.iterations() * text.size());
}

void BM_LexMixedPage5MB(benchmark::State& state)
{
    BM_LexWholePage(state, mixedPage(5 * 1024 * 1024));
}
BENCHMARK(BM_LexMixedPage5MB)->Unit(benchmark::kMillisecond);

void BM_LexHtmlLikeLines5MB(benchmark::State& state)
{
    BM_LexWholePage(state, htmlLikeText(5 * 1024 * 1024, u"<p>end"_qs));
}
BENCHMARK(BM_LexHtmlLikeLines5MB)->Unit(benchmark::kMillisecond);

// One screen (60 lines of 80 characters) in the middle of a 5 MB single line, after an edit just
// before it: lexed from the saved state before the edit.
void BM_ScreenAfterEditInLongLine(benchmark::State& state)
{
    QString text = mixedPage(5 * 1024 * 1024);
    text.replace(u'\n', u' ');
    LexCheckpoints checkpoints(
        [&text](qsizetype position, qsizetype length) { return text.mid(position, length); },
        text.size());
    const qsizetype middle = text.size() / 2;
    checkpoints.tokens(middle, middle + 4800);
    for (auto _ : state) {
        text.insert(middle, u'x');
        checkpoints.edit(middle, 0, 1);
        benchmark::DoNotOptimize(checkpoints.tokens(middle, middle + 4800));
        benchmark::DoNotOptimize(checkpoints.settle(1 << 16));
        text.remove(middle, 1);
        checkpoints.edit(middle, 1, 0);
    }
}
BENCHMARK(BM_ScreenAfterEditInLongLine)->Unit(benchmark::kMicrosecond);

} // namespace
