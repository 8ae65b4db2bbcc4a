#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

// One Hunspell dictionary (an .aff and a .dic file), read in its own charset.
class SpellDictionary
{
public:
    // The dictionary `name` (as "ru_RU") from the first of `folders` that holds both its files;
    // isOpen() tells whether one was found.
    SpellDictionary(const QString& name, const QStringList& folders);
    ~SpellDictionary();
    SpellDictionary(const SpellDictionary&) = delete;
    SpellDictionary& operator=(const SpellDictionary&) = delete;

    bool isOpen() const { return hunspell_ != nullptr; }
    bool accepts(const QString& word) const;
    // Hunspell's suggestions, at most `limit`.
    QStringList suggestions(const QString& word, int limit) const;

    // The first of `folders` that holds both files of the dictionary `name`, or empty.
    static QString folderOf(const QString& name, const QStringList& folders);
    // Where dictionaries are looked for: the folders of $DICPATH (as Hunspell's own tools read
    // it), then the system's.
    static QStringList standardFolders();

private:
    std::string encode(const QString& word, bool* ok) const;

    std::unique_ptr<Hunspell> hunspell_;
    bool utf8_ = true;
    QByteArray charset_;
};
