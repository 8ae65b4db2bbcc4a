#include "document/SystemReason.h"

#include <QCoreApplication>
#include <QFileDevice>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <locale.h>

namespace {

// The errno texts that Qt words itself (and its translations may carry).
const char* qtWording(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
        return "Permission denied";
    case EMFILE:
        return "Too many open files";
    case ENOENT:
        return "No such file or directory";
    case ENOSPC:
        return "No space left on device";
    default:
        return nullptr;
    }
}

QString ownWording(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("Нет места на устройстве");
    case EDQUOT:
        return QStringLiteral("Превышена дисковая квота");
    case EFBIG:
        return QStringLiteral("Файл слишком велик");
    case EACCES:
    case EPERM:
        return QStringLiteral("Отказано в доступе");
    case EROFS:
        return QStringLiteral("Файловая система доступна только для чтения");
    case ENOENT:
        return QStringLiteral("Нет такого файла или каталога");
    case ENOTDIR:
        return QStringLiteral("Это не каталог");
    case EISDIR:
        return QStringLiteral("Это каталог");
    case EIO:
        return QStringLiteral("Ошибка ввода-вывода");
    case ENAMETOOLONG:
        return QStringLiteral("Слишком длинное имя файла");
    case EEXIST:
        return QStringLiteral("Файл уже существует");
    case EBUSY:
        return QStringLiteral("Устройство или ресурс занято");
    case ETXTBSY:
        return QStringLiteral("Текстовый файл занят");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Слишком много открытых файлов");
    case ELOOP:
        return QStringLiteral("Слишком много уровней символьных ссылок");
    case EINVAL:
        return QStringLiteral("Недопустимый аргумент");
    case ENXIO:
        return QStringLiteral("Нет такого устройства или адреса");
    case ENODEV:
        return QStringLiteral("Нет такого устройства");
    case ENOMEM:
        return QStringLiteral("Недостаточно памяти");
    case EXDEV:
        return QStringLiteral("Недопустимая ссылка между устройствами");
    case EOPNOTSUPP:
        return QStringLiteral("Операция не поддерживается");
    default:
        return {};
    }
}

// strerror_l in the first Russian locale the system has; empty when it has none.
QString localeWording(int errorNumber)
{
    static const locale_t russian = [] {
        for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "ru_RU"}) {
            if (const locale_t found = newlocale(LC_MESSAGES_MASK, name, locale_t(nullptr)))
                return found;
        }
        return locale_t(nullptr);
    }();
    if (!russian)
        return {};
    return QString::fromUtf8(strerror_l(errorNumber, russian));
}

} // namespace

QString systemReason(int errorNumber)
{
    if (const char* english = qtWording(errorNumber)) {
        const QString translated = QCoreApplication::translate("QIODevice", english);
        if (translated != QLatin1String(english))
            return translated;
    }
    QString reason = localeWording(errorNumber);
    // Without Russian messages installed glibc answers in English: our own words are better.
    if (reason.isEmpty() ||
        std::all_of(reason.begin(), reason.end(), [](QChar c) { return c.unicode() < 0x80; }))
        reason = ownWording(errorNumber);
    if (reason.isEmpty())
        reason = QStringLiteral("Системная ошибка %1").arg(errorNumber);
    return reason;
}

QString fileDeviceReason(const QFileDevice& file, int errorNumber)
{
    if (errorNumber != 0)
        return systemReason(errorNumber);
    return file.errorString();
}
