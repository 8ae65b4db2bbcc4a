#include "syntax/SpellChecker.h"

namespace {

// Kept answers beyond this are dropped all at once: a page's words are far fewer.
constexpr qsizetype answerLimit = 200000;
// Hunspell's suggestions for longer words can take a noticeable time.
constexpr qsizetype longestSuggested = 40;
// A word with more е than this is tried with ё only all at once and one at a time.
constexpr int yoTries = 8;

bool isCyrillic(QChar c)
{
    return c.script() == QChar::Script_Cyrillic;
}

const QString russianName = QStringLiteral("ru_RU");
const QString englishName = QStringLiteral("en_US");

} // namespace

SpellChecker::SpellChecker(const QStringList& folders)
    : folders_(folders), russian_(russianName, folders), english_(englishName, folders)
{}

QStringList SpellChecker::missingPackages(const QStringList& folders)
{
    QStringList packages;
    if (SpellDictionary::folderOf(russianName, folders).isEmpty())
        packages << QStringLiteral("hunspell-ru");
    if (SpellDictionary::folderOf(englishName, folders).isEmpty())
        packages << QStringLiteral("hunspell-en-us");
    return packages;
}

const SpellDictionary* SpellChecker::dictionaryFor(const QString& word) const
{
    for (const QChar c : word) {
        if (isCyrillic(c))
            return &russian_;
    }
    for (const QChar c : word) {
        if (c.isLetter() && c.script() != QChar::Script_Latin)
            return nullptr; // Greek, Armenian, …: no dictionary here
    }
    return &english_;
}

bool SpellChecker::looksUp(const SpellDictionary& dictionary, const QString& word) const
{
    if (dictionary.accepts(word))
        return true;
    if (&dictionary != &russian_)
        return false;
    // ё written as е (the common way) or е as ё: try the other spelling.
    QString plain = word;
    plain.replace(u'ё', u'е').replace(u'Ё', u'Е');
    if (plain != word)
        return dictionary.accepts(plain);
    if (dictionary.accepts(QString(word).replace(u'е', u'ё').replace(u'Е', u'Ё')))
        return true;
    int tries = 0;
    for (qsizetype k = 0; k < word.size() && tries < yoTries; ++k) {
        if (word[k] != u'е' && word[k] != u'Е')
            continue;
        QString one = word;
        one[k] = word[k] == u'е' ? u'ё' : u'Ё';
        if (dictionary.accepts(one))
            return true;
        ++tries;
    }
    return false;
}

bool SpellChecker::isCorrect(const QString& word)
{
    if (skipped_.contains(word))
        return true;
    const auto known = answers_.constFind(word);
    if (known != answers_.constEnd())
        return *known;
    const SpellDictionary* dictionary = dictionaryFor(word);
    const bool correct = !dictionary || !dictionary->isOpen() || looksUp(*dictionary, word);
    if (answers_.size() >= answerLimit)
        answers_.clear();
    answers_.insert(word, correct);
    return correct;
}

QStringList SpellChecker::suggestions(const QString& word) const
{
    const SpellDictionary* dictionary = dictionaryFor(word);
    if (!dictionary || word.size() > longestSuggested)
        return {};
    return dictionary->suggestions(word, suggestionLimit);
}

void SpellChecker::skipEverywhere(const QString& word)
{
    skipped_.insert(word);
}
