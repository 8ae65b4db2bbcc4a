#pragma once

#include <QString>
#include <QStringList>

struct TemplateSettings;

// Template files: "<name>.sbl" in the template directory, text in the same format as a new
// document (Windows-1251, CR LF, characters it cannot hold as "&#NNNN;").

// Why `name` cannot name a template file, or the empty text when it can. A name is refused when
// it is empty, contains "/" or "\", or starts with "." (which covers "." and ".."): such a file
// would land outside the template directory or be hidden, and the chooser would never list it.
// Control characters (NUL, line breaks, tabs, the rest of C0 and C1) and unpaired surrogates are
// refused too: the file would get another name than the one typed.
QString templateNameProblem(const QString& name);

// The full path of the file `fileName` in `directory`: always a plain file inside it, also when
// the name begins with ":" or another prefix Qt would take for a resource path.
QString templateEntryPath(const QString& directory, const QString& fileName);

// The full path of the template file of `name` in `directory`.
QString templateFilePath(const QString& directory, const QString& name);

// The bytes of the template file for `settings`.
QByteArray templateFileBytes(const TemplateSettings& settings);

// Creates or replaces the template file of settings.name in `directory`. The file is replaced
// whole or not at all. Throws FileError when the name is refused or the file cannot be written.
void WriteTemplate(const QString& directory, const TemplateSettings& settings);

// The template files of `directory`, as the chooser lists them: the names of ordinary files
// ending in ".sbl" in any letter case, without directories, hidden or system files (nor links to
// anything but a regular file), sorted alphabetically in Russian order without regard to letter
// case. An unreadable directory lists nothing.
QStringList listTemplates(const QString& directory);

// Moves the file at `path` to the desktop trash; deletes it for good only where there is no
// trash to move it to. Throws FileError when the file can be neither moved nor deleted.
void deleteTemplate(const QString& path);
