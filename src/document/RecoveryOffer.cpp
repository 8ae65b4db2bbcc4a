#include "document/RecoveryOffer.h"

#include "document/DocumentSession.h"

#include <QFile>

namespace {

bool fileChangedSince(const JournalHeader& header)
{
    return !header.fileName.isEmpty() && FileSignature::of(header.fileName) != header.base;
}

} // namespace

QString RecoveryOffer::question(const RecoveryStore::LeftJournal& journal, bool fileChanged)
{
    const QString name =
        journal.header.fileName.isEmpty() ? DocumentSession::UntitledName : journal.header.fileName;
    QString text = QStringLiteral("Найдены несохранённые изменения документа «%1» от %2. "
                                  "Восстановить их?")
                       .arg(name, journal.lastWritten.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    if (fileChanged)
        text += QStringLiteral("\n\nФайл на диске изменён после того, как начались эти изменения.");
    return text;
}

std::optional<RecoveredDocument> RecoveryOffer::ask(Dialogs& dialogs, QWidget* parent,
                                                    const QString& fileName, bool all)
{
    for (RecoveryStore::LeftJournal& journal : RecoveryStore::leftJournals(fileName, all)) {
        QFile file(journal.journalPath);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        RecoveryJournal::Replay replay = RecoveryJournal::replay(file.readAll());
        file.close();
        if (!replay.hasText) {
            // Begun but cut off before its first text, or standing on a file that holds other
            // bytes now: it holds nothing to restore. One whose file cannot be read now is kept
            // for when the file is back.
            if (!replay.fileUnreadable)
                RecoveryStore::remove(journal.journalPath, *journal.lock);
            continue;
        }
        switch (
            dialogs.askYesNo(parent, Title, question(journal, fileChangedSince(journal.header)))) {
        case Dialogs::Answer::Yes:
            // The format may come from the journal's file bytes rather than its header.
            journal.header.format = replay.header.format;
            return RecoveredDocument{journal, std::move(replay.text), replay.validLength};
        case Dialogs::Answer::No:
            RecoveryStore::remove(journal.journalPath, *journal.lock);
            break;
        case Dialogs::Answer::Cancel:
            break;
        }
    }
    return std::nullopt;
}
