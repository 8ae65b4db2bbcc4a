#pragma once

#include "editor/LiveUpdatePacing.h"
#include "editor/SlicedTextCopy.h"
#include "syntax/ElementAlignment.h"
#include "syntax/TagOutline.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <memory>

class Browser;
struct TextFormat;
class DocumentSession;
class NoticeBar;
class SourceEditor;

// The live preview: while it lives, the preview shows the editor's text as a save would write it,
// served at the page's own address, after each pause in typing (LiveUpdatePacing). The two panes
// follow each other: the caret's element is scrolled into view in the preview (after each update
// too, so that the preview follows the typing), and a Ctrl+click in the preview puts the caret at
// the start of that element's tag. The file on disk is never touched. Destroying it gives the
// preview back to the saved file.
//
// A 5 MB page must not stall the typing: the text is copied a slice per turn of the event loop,
// encoded, told its charset and outlined on a worker, its elements paired there too, and the
// caret's element is a binary search away.
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
    // Serves the text as it is now, at once (for the full-screen preview, which then loads it):
    // nothing to do when the preview is up to date; else the text is encoded here and its tags
    // are found on the worker.
    void serveNow();

    const LiveUpdatePacing& pacing() const { return pacing_; }

private:
    using Outline = std::shared_ptr<const TagOutline>;
    struct Snapshot
    {
        quint64 generation = 0;
        QString path;
        QByteArray bytes;
        QByteArray charset;
        // Null when the outline follows on its own (outlined).
        Outline outline;
    };

    // The text as a save would write it, and the charset it is served in.
    static Snapshot encoded(quint64 generation, QString path, const QString& text,
                            const TextFormat& format);
    void textChanged();
    void startUpdate();
    // Copies the next slice of the text; the last one hands the copy to the worker.
    void copySlice();
    void encodeOnWorker(QString text);
    void show(Snapshot snapshot);
    void outlined(quint64 generation, Outline outline);
    void pageLoaded();
    void elementsListed(const QString& names);
    void pairOnWorker(const QString& names);
    void paired(quint64 generation, ElementAlignment alignment);
    // Frees what the preview no longer needs on the worker: a big page's outline holds a hundred
    // thousand strings.
    void retire(Outline outline);
    void caretMoved();
    // Scrolls the preview to the caret's element unless it is the one last scrolled to.
    void revealCaretElement();
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
    // The text of the update starting, taken a slice per turn of the event loop.
    SlicedTextCopy copy_;
    // The text changed since the last update started; an update is on its way.
    bool dirty_ = false;
    bool inFlight_ = false;
    // Counts the updates started; a snapshot older than the last one started is not shown.
    quint64 generation_ = 0;
    // The update whose bytes the browser was last given.
    quint64 shownGeneration_ = 0;
    // The text the preview shows, its tags (of update outlineGeneration_) and their elements.
    Outline outline_ = std::make_shared<const TagOutline>();
    quint64 outlineGeneration_ = 0;
    ElementAlignment alignment_;
    // Elements listed before the outline of their text arrived; paired when it does.
    QString pendingElements_;
    bool elementsPending_ = false;
    qsizetype revealedTag_ = -1;
    NoticeBar* notice_ = nullptr;
    bool dialogNoted_ = false;
};
