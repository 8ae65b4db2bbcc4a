// Find next as the find dialog runs it (search, select the match, move the search position) in
// a 20 MB document, from its start to a match near its end, against a plain case-insensitive
// QString::indexOf over the same CR LF text in the same run; and replace all over it. The
// benchmark executable's main creates the QApplication that the editor needs.
#include "editor/SearchState.h"
#include "text/SourceEditor.h"

#include <benchmark/benchmark.h>

namespace {

const QString needle = QStringLiteral("<td class=\"total\">");

// Lines of HTML with Cyrillic text, about `size` characters, and one line holding the match in
// upper case 500 characters before the end.
QString largeHtml(int size)
{
    const QString lines[] = {
        QStringLiteral("<tr><td class=\"name\">Наименование товара</td><td>12,50</td></tr>"),
        QStringLiteral("<p align=\"justify\">Lorem ipsum dolor sit amet, consectetur.</p>"),
        QStringLiteral("\t<a href=\"catalogue/page.html\">Каталог</a>&nbsp;|"),
        QString(),
        QStringLiteral("<div class=\"row\"><span>Итого по разделу:</span></div>"),
    };
    QString text;
    text.reserve(size + 100);
    for (int i = 0; text.size() < size - 500; ++i)
        text += lines[i % 5] + u'\n';
    text += needle.toUpper() + u'\n';
    while (text.size() < size)
        text += lines[0] + u'\n';
    return text;
}

struct Document
{
    SourceEditor editor;
    QString crlfText;
    int expected = -1;

    Document()
    {
        editor.LoadText(largeHtml(20 * 1024 * 1024));
        crlfText = editor.Text();
        expected = int(crlfText.indexOf(needle, 0, Qt::CaseInsensitive));
    }
};

Document& document()
{
    static Document doc;
    return doc;
}

void BM_SearchStep20MB(benchmark::State& state)
{
    Document& doc = document();
    SearchState search;
    for (auto _ : state) {
        doc.editor.SetSelStart(0);
        search.anchor(doc.editor);
        if (!search.findNext(doc.editor, needle) || doc.editor.SelStart() != doc.expected) {
            state.SkipWithError("find next missed the match");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * doc.expected);
}
BENCHMARK(BM_SearchStep20MB)->Unit(benchmark::kMillisecond);

// The first find next after an edit, which has to take a fresh look at the changed text.
void BM_SearchStepAfterEdit20MB(benchmark::State& state)
{
    Document& doc = document();
    SearchState search;
    for (auto _ : state) {
        state.PauseTiming();
        doc.editor.SetSelStart(0);
        doc.editor.SetSelText(QStringLiteral(" "));
        doc.editor.SetSelStart(0);
        state.ResumeTiming();
        search.anchor(doc.editor);
        if (!search.findNext(doc.editor, needle)) {
            state.SkipWithError("find next missed the match");
            break;
        }
    }
}
BENCHMARK(BM_SearchStepAfterEdit20MB)->Unit(benchmark::kMillisecond);

// Replace all with a match on every fifth line (the "replacements" counter), as one undoable
// edit. Each iteration changes the word and, untimed, changes it back.
void BM_ReplaceAll20MB(benchmark::State& state)
{
    Document& doc = document();
    const QString word = QStringLiteral("Каталог");
    const QString replacement = QStringLiteral("Перечень"); // found nowhere else
    state.counters["replacements"] = double(doc.crlfText.count(word, Qt::CaseInsensitive));
    for (auto _ : state) {
        if (!SearchState::replaceAll(doc.editor, word, replacement)) {
            state.SkipWithError("replace all found nothing");
            break;
        }
        state.PauseTiming();
        SearchState::replaceAll(doc.editor, replacement, word);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReplaceAll20MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_IndexOfSameText20MB(benchmark::State& state)
{
    Document& doc = document();
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.crlfText.indexOf(needle, 0, Qt::CaseInsensitive));
    state.SetBytesProcessed(state.iterations() * doc.expected);
}
BENCHMARK(BM_IndexOfSameText20MB)->Unit(benchmark::kMillisecond);

} // namespace
