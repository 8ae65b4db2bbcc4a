#pragma once

#include "editor/LiveUpdatePacing.h"
#include "syntax/ElementAlignment.h"
#include "syntax/TagOutline.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

class Browser;
class DocumentSession;
class NoticeBar;
class SourceEditor;

// The live preview: while it lives, the preview shows the editor's text as a save would write it,
// served at the page's own address, after each pause in typing (LiveUpdatePacing). The two panes
// follow each other: the caret's element is scrolled into view in the preview, and a Ctrl+click
// in the preview puts the caret at the start of that element's tag. The file on disk is never
// touched. Destroying it gives the preview back to the saved file.
class LivePreview : public QObject
{
    Q_OBJECT
public:
    // An untitled document's page lies in `templateDirectory`, where its links resolve.
    LivePreview(SourceEditor& editor, DocumentSession& session, Browser& browser,
                QString templateDirectory, QObject* parent = nullptr);
    ~LivePreview() override;

    // Where the live page is served: the document's file, or for a document never saved a name in
    // the template folder; empty when there is no document.
    QString pagePath() const;
    // Serves the text as it is now, at once (for the full-screen preview, which then loads it).
    void serveNow();

    const LiveUpdatePacing& pacing() const { return pacing_; }

private:
    struct Snapshot
    {
        quint64 generation = 0;
        QString path;
        QByteArray bytes;
        TagOutline outline;
        QStringList tagNames;
    };

    void textChanged();
    void startUpdate();
    void show(Snapshot snapshot);
    void pageLoaded();
    void elementsListed(const QString& names);
    void paired(quint64 generation, ElementAlignment alignment);
    void caretMoved();
    void elementPicked(const QList<int>& indexes);
    void dialogSuppressed();
    // Whether the preview shows the text as it is now.
    bool upToDate() const { return !dirty_ && !inFlight_; }

    SourceEditor& editor_;
    DocumentSession& session_;
    Browser& browser_;
    QString templateDirectory_;
    LiveUpdatePacing pacing_;
    QTimer pause_;
    QElapsedTimer updateClock_;
    // Encodes and outlines the text away from the typing; one job at a time, in order.
    QThreadPool worker_;
    // The text changed since the last update started; an update is on its way.
    bool dirty_ = false;
    bool inFlight_ = false;
    // Counts the updates started; a snapshot older than the last one started is not shown.
    quint64 generation_ = 0;
    // The text the preview shows, its tags and their elements.
    TagOutline outline_;
    QStringList tagNames_;
    ElementAlignment alignment_;
    qsizetype revealedTag_ = -1;
    NoticeBar* notice_ = nullptr;
    bool dialogNoted_ = false;
};
