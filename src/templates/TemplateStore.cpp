#include "templates/TemplateStore.h"

#include "document/DocumentFile.h"
#include "document/DocumentFormat.h"
#include "templates/TemplateComposer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

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

} // namespace

QString templateNameProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("Название шаблона не может быть пустым.");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.startsWith(QLatin1Char('.')))
        return QStringLiteral("Недопустимое название шаблона \"%1\": название не может содержать "
                              "символы \"/\" и \"\\\" и не может начинаться с точки.")
            .arg(name);
    return {};
}

QString templateFilePath(const QString& directory, const QString& name)
{
    return QDir(directory).filePath(name + QStringLiteral(".sbl"));
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
    // Without QDir::Hidden and QDir::System the listing leaves out dot files, broken links,
    // sockets and devices; name filters match without regard to case.
    QStringList names =
        QDir(directory).entryList({QStringLiteral("*.sbl")}, QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

void deleteTemplate(const QString& path)
{
    QFile file(path);
    if (desktopHasTrash() && file.moveToTrash())
        return;
    // No trash to move it to (or it would not go there): deleted for good.
    if (!file.remove())
        throw FileError(QStringLiteral("Не удалось удалить файл %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
}
