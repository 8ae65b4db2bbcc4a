#include "syntax/SpellDictionary.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <hunspell.hxx>

SpellDictionary::SpellDictionary(const QString& name, const QStringList& folders)
{
    const QString folder = folderOf(name, folders);
    if (folder.isEmpty())
        return;
    const QByteArray aff = QFile::encodeName(QDir(folder).filePath(name + QStringLiteral(".aff")));
    const QByteArray dic = QFile::encodeName(QDir(folder).filePath(name + QStringLiteral(".dic")));
    hunspell_ = std::make_unique<Hunspell>(aff.constData(), dic.constData());
    charset_ = QByteArray::fromStdString(hunspell_->get_dict_encoding()).toUpper();
    utf8_ = charset_.isEmpty() || charset_ == "UTF-8" || charset_ == "UTF8";
}

QString SpellDictionary::folderOf(const QString& name, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (QFileInfo(dir.filePath(name + QStringLiteral(".aff"))).isFile() &&
            QFileInfo(dir.filePath(name + QStringLiteral(".dic"))).isFile())
            return folder;
    }
    return QString();
}

SpellDictionary::~SpellDictionary() = default;

QStringList SpellDictionary::standardFolders()
{
    QStringList folders;
    const QString path = qEnvironmentVariable("DICPATH");
    if (!path.isEmpty())
        folders = path.split(u':', Qt::SkipEmptyParts);
    folders << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell");
    return folders;
}

std::string SpellDictionary::encode(const QString& word, bool* ok) const
{
    *ok = true;
    if (utf8_)
        return word.toStdString();
    QStringEncoder encoder(charset_.constData());
    if (!encoder.isValid()) {
        *ok = false;
        return {};
    }
    const QByteArray bytes = encoder.encode(word);
    *ok = !encoder.hasError();
    return bytes.toStdString();
}

bool SpellDictionary::accepts(const QString& word) const
{
    if (!hunspell_)
        return true;
    bool ok = false;
    const std::string encoded = encode(word, &ok);
    return !ok || hunspell_->spell(encoded); // a word the dictionary cannot spell is not its own
}

QStringList SpellDictionary::suggestions(const QString& word, int limit) const
{
    QStringList result;
    if (!hunspell_)
        return result;
    bool ok = false;
    const std::string encoded = encode(word, &ok);
    if (!ok)
        return result;
    QStringDecoder decoder(utf8_ ? "UTF-8" : charset_.constData());
    for (const std::string& suggestion : hunspell_->suggest(encoded)) {
        if (result.size() >= limit)
            break;
        result << decoder.decode(QByteArray::fromStdString(suggestion));
    }
    return result;
}
