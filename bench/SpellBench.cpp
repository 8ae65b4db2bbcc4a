// What spell checking costs: one screen of a Russian page (its words found and looked up, the
// answers kept as while typing), and the suggestions for one wrong word when the context menu
// opens.
#include "LargeText.h"
#include "syntax/HtmlLexer.h"
#include "syntax/SpellChecker.h"
#include "syntax/SpellRanges.h"

#include <benchmark/benchmark.h>

namespace {

// About one screen: 40 lines of text and markup.
QString russianScreen()
{
    const QString line =
        uR"(<p class="x">Съешь же ещё этих мягких французских булок, да выпей чаю.</p>
<img alt="Кортинка кота" title="Котик"> Превед, мир! Это малоко и карова.
)"_qs;
    return repeatedToSize(line, line.size() * 20);
}

void BM_SpellOneScreen(benchmark::State& state)
{
    SpellChecker checker;
    if (!checker.isAvailable()) {
        state.SkipWithError("dictionaries missing");
        return;
    }
    const QString text = russianScreen();
    for (auto _ : state) {
        int wrong = 0;
        for (const SpellRanges::Word& word : SpellRanges::wordsIn(text, 0, HtmlLexer::tokens(text)))
            wrong += checker.isCorrect(text.mid(word.start, word.length)) ? 0 : 1;
        benchmark::DoNotOptimize(wrong);
    }
}
BENCHMARK(BM_SpellOneScreen)->Unit(benchmark::kMicrosecond);

void BM_SpellSuggestions(benchmark::State& state, const QString& word)
{
    SpellChecker checker;
    if (!checker.isAvailable()) {
        state.SkipWithError("dictionaries missing");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(checker.suggestions(word));
}
BENCHMARK_CAPTURE(BM_SpellSuggestions, Russian, u"достопремечательность"_qs)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpellSuggestions, English, u"recieve"_qs)->Unit(benchmark::kMillisecond);

void BM_SpellDictionariesLoad(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(SpellChecker().isAvailable());
}
BENCHMARK(BM_SpellDictionariesLoad)->Unit(benchmark::kMillisecond);

} // namespace
