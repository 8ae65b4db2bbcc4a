#include "templates/TemplateStore.h"

#include "document/DocumentFile.h"
#include "document/DocumentFormat.h"
#include "document/SystemReason.h"
#include "templates/TemplateComposer.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

// Whether the desktop has a home trash, or a place to make one. Qt 6.4's moveToTrash does not
// fail where it finds no trash: it makes "files" and "info" in the working directory (which is
// the template directory) and moves the file there. So the program looks for a trash first.
bool desktopHasTrash()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        return false;
    if (QFileInfo(QDir(dataHome).filePath(QStringLiteral("Trash"))).isDir())
        return true;
    const QFileInfo home(dataHome);
    return home.isDir() && home.isWritable();
}

// NUL would cut the file name short, line breaks and tabs make names no one can type, and a lone
// surrogate has no file-name encoding: the file would be written under another name.
bool hasControlOrLoneSurrogate(const QString& name)
{
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = name[i];
        if (c.category() == QChar::Other_Control)
            return true;
        if (c.isHighSurrogate() && i + 1 < n && name[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

// The name as it can be shown in a message: control characters and lone surrogates as U+XXXX.
QString printable(const QString& name)
{
    QString out;
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = name[i];
        const bool pair = c.isHighSurrogate() && i + 1 < n && name[i + 1].isLowSurrogate();
        if (c.category() == QChar::Other_Control || (c.isSurrogate() && !pair)) {
            out += QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
            continue;
        }
        out += c;
        if (pair)
            out += name[++i];
    }
    return out;
}

} // namespace

QString templateNameProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("Название шаблона не может быть пустым.");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.startsWith(QLatin1Char('.')) || hasControlOrLoneSurrogate(name))
        return QStringLiteral("Недопустимое название шаблона \"%1\": название не может содержать "
                              "символы \"/\" и \"\\\" и управляющие символы и не может "
                              "начинаться с точки.")
            .arg(printable(name));
    return {};
}

QString templateEntryPath(const QString& directory, const QString& fileName)
{
    // Joined by hand: QDir::filePath takes a name beginning with ":" for a Qt resource path and
    // returns it alone.
    QString folder = QDir(directory).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + fileName;
}

QString templateFilePath(const QString& directory, const QString& name)
{
    return templateEntryPath(directory, name + QStringLiteral(".sbl"));
}

QByteArray templateFileBytes(const TemplateSettings& settings)
{
    // The composition's line ends are all CR LF; the codec takes '\n' and writes the new
    // document format's CR LF back.
    QString text = ComposeTemplate(settings);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return encodeDocument(text, newDocumentFormat());
}

void WriteTemplate(const QString& directory, const TemplateSettings& settings)
{
    const QString problem = templateNameProblem(settings.name);
    if (!problem.isEmpty())
        throw FileError(problem);
    writeFileAtomically(templateFilePath(directory, settings.name), templateFileBytes(settings));
}

QStringList listTemplates(const QString& directory)
{
    // Without QDir::Hidden and QDir::System the listing leaves out dot files and broken links;
    // name filters match without regard to case.
    QStringList names =
        QDir(directory).entryList({QStringLiteral("*.sbl")}, QDir::Files, QDir::NoSort);
    // A link to a pipe or a device still passes QDir's filter; only regular files are templates.
    names.removeIf([&](const QString& name) {
        struct stat st
        {};
        return ::stat(QFile::encodeName(templateEntryPath(directory, name)).constData(), &st) !=
                   0 ||
               !S_ISREG(st.st_mode);
    });
    // Alphabetical as a Russian reader expects it (ё beside е), letter case ignored; equal
    // names in different case keep a fixed order.
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

void deleteTemplate(const QString& path)
{
    QFile file(path);
    if (desktopHasTrash() && file.moveToTrash())
        return;
    // No trash to move it to (or it would not go there): deleted for good.
    errno = 0;
    if (!file.remove())
        throw FileError(QStringLiteral("Не удалось удалить файл %1: %2")
                            .arg(QDir::toNativeSeparators(path), fileDeviceReason(file, errno)));
}
