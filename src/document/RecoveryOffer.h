#pragma once

#include "document/RecoveryStore.h"
#include "platform/Dialogs.h"

#include <optional>

class QWidget;

// The text of a journal the user chose to restore, with the journal itself, which goes on as the
// restored document's journal.
struct RecoveredDocument
{
    RecoveryStore::LeftJournal journal;
    QString text;
    qint64 validLength = 0;
};

// Offers the journals that ended programs left: for each, newest first, the question whether to
// restore its changes. No deletes the journal; a box closed unanswered keeps it for next time.
class RecoveryOffer
{
public:
    static inline const QString Title = QStringLiteral("Восстановление");

    // The question about `journal`; `fileChanged` adds that the file on disk changed since.
    static QString question(const RecoveryStore::LeftJournal& journal, bool fileChanged);

    // Asks about the journals of `fileName` (empty: documents never saved), or of all documents
    // when `all`. Returns the first one the user chose to restore.
    static std::optional<RecoveredDocument> ask(Dialogs& dialogs, QWidget* parent,
                                                const QString& fileName, bool all);
};
