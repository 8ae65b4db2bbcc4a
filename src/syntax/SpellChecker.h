#pragma once

#include "syntax/SpellDictionary.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// Checks the words of a Russian page: Cyrillic words against the Russian dictionary, Latin words
// against the English one; е and ё count as one letter, so a word is right when the dictionary
// knows it with either. Answers are kept, so a word is looked up once however often it is drawn;
// words skipped by the user are right for the rest of the run.
class SpellChecker
{
public:
    static constexpr int suggestionLimit = 5;

    explicit SpellChecker(const QStringList& folders = SpellDictionary::standardFolders());

    // The Debian packages whose dictionaries are missing from `folders` (empty when both are
    // there), found without reading the dictionaries.
    static QStringList missingPackages(const QStringList& folders);
    QStringList missingPackages() const { return missingPackages(folders_); }
    bool isAvailable() const { return missingPackages().isEmpty(); }

    bool isCorrect(const QString& word);
    // Up to `suggestionLimit` corrections of a wrong word (none for a very long one, which would
    // take Hunspell long).
    QStringList suggestions(const QString& word) const;
    // "Пропустить везде": the word counts as right until the program ends.
    void skipEverywhere(const QString& word);

private:
    const SpellDictionary* dictionaryFor(const QString& word) const;
    bool looksUp(const SpellDictionary& dictionary, const QString& word) const;

    QStringList folders_;
    SpellDictionary russian_;
    SpellDictionary english_;
    QHash<QString, bool> answers_;
    QSet<QString> skipped_;
};
