// Which words of a page are spell checked, and how the real dictionaries answer.
#include "syntax/SpellRanges.h"
#include "syntax/HtmlLexer.h"
#include "syntax/SpellChecker.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The checked words of `page`, as text.
QStringList checkedWords(const QString& page)
{
    QStringList words;
    for (const SpellRanges::Word& word : SpellRanges::wordsIn(page, 0, HtmlLexer::tokens(page)))
        words << page.mid(word.start, word.length);
    return words;
}

struct RangeCase
{
    const char* name;
    const char* page;
    QStringList checked;
};

void PrintTo(const RangeCase& c, std::ostream* out)
{
    *out << c.name;
}

class SpellRangesOfPage : public testing::TestWithParam<RangeCase>
{};

TEST_P(SpellRangesOfPage, ChecksOnlyWhatPeopleRead)
{
    EXPECT_EQ(checkedWords(QString::fromUtf8(GetParam().page)), GetParam().checked);
}

const RangeCase rangeCases[] = {
    {"TextButNotTags", "<p class=\"Важно\">Привет мир</p>", {"Привет", "мир"}},
    {"AttributeNamesAndOtherValuesAreNot",
     "<a href=\"страница\" data-x=\"слово\" id=\"имя\">ссылка</a>",
     {"ссылка"}},
    {"ReadableAttributes",
     "<img alt=\"Кот спит\" title='Котик'><input placeholder=\"Ведите имя\">",
     {"Кот", "спит", "Котик", "Ведите", "имя"}},
    {"ValueOfATextInputOnly",
     "<input type=\"text\" value=\"Значенее\"><input type=submit value=\"Кнопка\">"
     "<input value=\"Поле\"><option value=\"ключ\">",
     {"Значенее", "Поле"}},
    {"TypeAfterTheValueCounts", "<input value=\"Скрыто\" type=\"hidden\">", QStringList{}},
    {"ScriptStyleAndCommentsAreNot",
     "<script>var слово = 'строка';</script><style>p{font:\"Шрифт\"}</style><!-- заметка -->Да",
     {"Да"}},
    {"TitleAndTextareaAre",
     "<title>Заголовок</title><textarea>Текст поля</textarea>",
     {"Заголовок", "Текст", "поля"}},
    {"CharacterReferencesAreNot",
     "Tom&amp;Jerry &nbsp;слово&mdash;дело",
     {"Tom", "Jerry", "слово", "дело"}},
    {"AddressesAreNot",
     "пишите на mail@example.com или www.example.org, http://пример.рф/путь и всё",
     {"пишите", "на", "или", "всё"}},
    {"DigitsAbbreviationsAndSingleLettersAreNot",
     "HTML5 h1 в 2026 году ГОСТ x CSS-файл",
     {"году", "файл"}},
    {"ApostrophesInsideEnglishWords", "don't 'quoted' O’Neil", {"don't", "quoted", "O’Neil"}},
    {"TemplateBlocksAreNot", "Имя: {{ user.name }} <?php echo $x; ?>", {"Имя"}},
};

INSTANTIATE_TEST_SUITE_P(SpellRanges, SpellRangesOfPage, testing::ValuesIn(rangeCases),
                         [](const testing::TestParamInfo<RangeCase>& caseInfo) {
                             return std::string(caseInfo.param.name);
                         });

TEST(SpellRanges, WordsArePlacedFromTheTextsStart)
{
    const QString page = QStringLiteral("<b>один два</b>");
    const std::vector<Token> tokens{{103, 8, TokenKind::Text}};
    const std::vector<SpellRanges::Word> words =
        SpellRanges::wordsIn(QStringView(page).sliced(3, 8), 103, tokens);
    EXPECT_EQ(words, (std::vector<SpellRanges::Word>{{103, 4}, {108, 3}}));
}

// The dictionaries of hunspell-ru and hunspell-en-us, as the program finds them.
class SpellCheckerWithDictionaries : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!checker.isAvailable())
            GTEST_SKIP() << "dictionaries missing: "
                         << checker.missingPackages().join(u' ').toStdString();
    }
    SpellChecker checker;
};

TEST_F(SpellCheckerWithDictionaries, RussianAndEnglishWords)
{
    const struct
    {
        const char* word;
        bool correct;
    } cases[] = {
        {"молоко", true},    {"малоко", false}, {"Здравствуйте", true}, {"Превед", false},
        {"house", true},     {"hoose", false},  {"English", true},      {"ещё", true},
        {"еще", true},       {"ёлка", true},    {"елка", true},         {"всё", true},
        {"все", true},       {"ёжык", false},   {"зелёный", true},      {"зеленый", true},
        {"кортинка", false}, {"Москва", true},  {"москва", false},      {"αβγ", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checker.isCorrect(QString::fromUtf8(c.word)), c.correct) << c.word;
}

TEST_F(SpellCheckerWithDictionaries, SuggestionsAreFewAndFitTheWord)
{
    const QStringList russian = checker.suggestions(QStringLiteral("малоко"));
    EXPECT_LE(russian.size(), SpellChecker::suggestionLimit);
    EXPECT_TRUE(russian.contains(QStringLiteral("молоко"))) << russian.join(u',').toStdString();
    const QStringList english = checker.suggestions(QStringLiteral("recieve"));
    EXPECT_LE(english.size(), SpellChecker::suggestionLimit);
    EXPECT_TRUE(english.contains(QStringLiteral("receive"))) << english.join(u',').toStdString();
    EXPECT_TRUE(checker.suggestions(QString(60, u'ж')).isEmpty());
}

TEST_F(SpellCheckerWithDictionaries, SkippedWordsAreRightForTheRun)
{
    const QString word = QStringLiteral("Пейджрайт");
    EXPECT_FALSE(checker.isCorrect(word));
    checker.skipEverywhere(word);
    EXPECT_TRUE(checker.isCorrect(word));
    EXPECT_FALSE(checker.isCorrect(QStringLiteral("Пейджрайтом")));
}

TEST(SpellCheckerFolders, NamesThePackagesOfMissingDictionaries)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    SpellChecker nothing(QStringList{empty.path()});
    EXPECT_EQ(nothing.missingPackages(),
              (QStringList{QStringLiteral("hunspell-ru"), QStringLiteral("hunspell-en-us")}));
    EXPECT_FALSE(nothing.isAvailable());
    EXPECT_TRUE(nothing.isCorrect(QStringLiteral("малоко"))); // nothing to judge by
    // Only the English one beside an empty folder.
    QTemporaryDir english;
    ASSERT_TRUE(english.isValid());
    for (const char* file : {"en_US.aff", "en_US.dic"})
        ASSERT_TRUE(QFile::copy(QStringLiteral("/usr/share/hunspell/") + QLatin1String(file),
                                english.filePath(QLatin1String(file))));
    SpellChecker halfway(QStringList{empty.path(), english.path()});
    EXPECT_EQ(halfway.missingPackages(), QStringList{QStringLiteral("hunspell-ru")});
    EXPECT_FALSE(halfway.isCorrect(QStringLiteral("hoose")));
}

} // namespace
