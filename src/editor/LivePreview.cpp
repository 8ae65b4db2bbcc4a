#include "editor/LivePreview.h"

#include "document/DocumentFormat.h"
#include "document/DocumentSession.h"
#include "editor/NoticeBar.h"
#include "platform/Browser.h"
#include "platform/LiveTrace.h"
#include "text/SourceEditor.h"
#include "text/TextBuffer.h"

#include <QDir>

namespace {

// An update whose page never reports its load (a failed engine, a load the user stopped) holds
// the next one back no longer than this.
constexpr qint64 lostUpdateMs = 10000;
constexpr int dialogNoticeMs = 8000;
// The characters copied per turn of the event loop: a millisecond or two of copying.
constexpr qsizetype copySliceLength = qsizetype(1) << 20;

} // namespace

LivePreview::Snapshot LivePreview::encoded(quint64 generation, QString path, const QString& text,
                                           const TextFormat& format)
{
    Snapshot snapshot{generation, std::move(path), encodeDocument(text, format), {}, nullptr};
    snapshot.charset = charsetName(documentFormat(snapshot.bytes));
    return snapshot;
}

LivePreview::LivePreview(SourceEditor& editor, DocumentSession& session, Browser& browser,
                         QString templateDirectory, QObject* parent)
    : QObject(parent), editor_(editor), session_(session), browser_(browser),
      templateDirectory_(std::move(templateDirectory)), copy_(copySliceLength)
{
    worker_.setMaxThreadCount(1);
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &LivePreview::startUpdate);
    connect(&editor_, &SourceEditor::textChanged, this, &LivePreview::textChanged);
    connect(&editor_, &SourceEditor::cursorPositionChanged, this, &LivePreview::caretMoved);
    connect(&browser_, &Browser::documentComplete, this, &LivePreview::pageLoaded);
    connect(&browser_, &Browser::elementsListed, this, &LivePreview::elementsListed);
    connect(&browser_, &Browser::elementPicked, this, &LivePreview::elementPicked);
    connect(&browser_, &Browser::pageDialogSuppressed, this, &LivePreview::dialogSuppressed);
    startUpdate();
}

LivePreview::~LivePreview()
{
    worker_.waitForDone();
    browser_.endLivePage();
    delete notice_;
}

QString LivePreview::pagePath() const
{
    const QString name = session_.fileName();
    if (name.isEmpty())
        return {};
    if (name == DocumentSession::UntitledName)
        return QDir(templateDirectory_).filePath(name + QStringLiteral(".html"));
    return name;
}

void LivePreview::serveNow()
{
    const QString path = pagePath();
    if (path.isEmpty())
        return;
    pause_.stop();
    const bool copying = copy_.isActive();
    copy_.cancel();
    // The browser already has the text as it is.
    if (!dirty_ && !copying && shownGeneration_ == generation_ && generation_ > 0)
        return;
    dirty_ = false;
    inFlight_ = true;
    updateClock_.start();
    // The page is needed now, its outline only once the page has loaded: that goes to the worker.
    const QString text = editor_.PlainText();
    const quint64 generation = ++generation_;
    show(encoded(generation, path, text, session_.format()));
    worker_.start([this, generation, text] {
        Outline outline = std::make_shared<const TagOutline>(TagOutline::of(text));
        QMetaObject::invokeMethod(
            this,
            [this, generation, outline]() mutable { outlined(generation, std::move(outline)); },
            Qt::QueuedConnection);
    });
}

void LivePreview::textChanged()
{
    LiveTrace::mark("edit");
    dirty_ = true;
    if (copy_.isActive()) {
        // The text being copied is gone: the next pause starts again.
        copy_.cancel();
        inFlight_ = false;
    }
    pause_.start(pacing_.pauseMs());
}

void LivePreview::startUpdate()
{
    if (inFlight_ && updateClock_.elapsed() < lostUpdateMs)
        return; // pageLoaded starts the next one
    if (pagePath().isEmpty())
        return;
    LiveTrace::mark("timer");
    dirty_ = false;
    inFlight_ = true;
    updateClock_.start();
    copy_.start(editor_.buffer()->length());
    copySlice();
}

void LivePreview::copySlice()
{
    if (!copy_.isActive())
        return;
    const TextBuffer* buffer = editor_.buffer();
    if (!copy_.copyNextSlice([buffer](qsizetype at) { return buffer->chunkAt(at); })) {
        QMetaObject::invokeMethod(this, &LivePreview::copySlice, Qt::QueuedConnection);
        return;
    }
    LiveTrace::mark("copied");
    encodeOnWorker(copy_.take());
}

void LivePreview::encodeOnWorker(QString text)
{
    worker_.start([this, generation = ++generation_, path = pagePath(), text = std::move(text),
                   format = session_.format()] {
        Snapshot snapshot = encoded(generation, path, text, format);
        snapshot.outline = std::make_shared<const TagOutline>(TagOutline::of(text));
        LiveTrace::mark("bytes-ready");
        QMetaObject::invokeMethod(
            this, [this, snapshot = std::move(snapshot)]() mutable { show(std::move(snapshot)); },
            Qt::QueuedConnection);
    });
}

void LivePreview::show(Snapshot snapshot)
{
    // serveNow may have shown a newer text meanwhile.
    if (snapshot.generation < generation_) {
        retire(std::move(snapshot.outline));
        return;
    }
    shownGeneration_ = snapshot.generation;
    alignment_ = ElementAlignment();
    revealedTag_ = -1;
    if (snapshot.outline)
        outlined(snapshot.generation, std::move(snapshot.outline));
    browser_.showLivePage(snapshot.path, snapshot.bytes, snapshot.charset);
    LiveTrace::mark("load-requested");
}

void LivePreview::outlined(quint64 generation, Outline outline)
{
    if (generation != generation_) {
        retire(std::move(outline));
        return;
    }
    retire(std::exchange(outline_, std::move(outline)));
    outlineGeneration_ = generation;
    if (elementsPending_) {
        elementsPending_ = false;
        pairOnWorker(std::exchange(pendingElements_, QString()));
    }
}

void LivePreview::retire(Outline outline)
{
    if (outline)
        worker_.start([outline = std::move(outline)]() mutable { outline.reset(); });
}

void LivePreview::pageLoaded()
{
    if (!inFlight_)
        return;
    inFlight_ = false;
    LiveTrace::mark("load-finished");
    pacing_.updateTook(updateClock_.elapsed());
    if (dirty_)
        pause_.start(pacing_.pauseMs());
}

void LivePreview::elementsListed(const QString& names)
{
    if (outlineGeneration_ != generation_) {
        pendingElements_ = names;
        elementsPending_ = true;
        return;
    }
    pairOnWorker(names);
}

// A big page lists a hundred thousand elements and more: they are split and paired on the
// worker, away from the typing.
void LivePreview::pairOnWorker(const QString& names)
{
    worker_.start([this, names, outline = outline_, generation = generation_] {
        ElementAlignment alignment(outline->startTagNames(),
                                   names.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QMetaObject::invokeMethod(
            this,
            [this, generation, alignment = std::move(alignment)]() mutable {
                paired(generation, std::move(alignment));
            },
            Qt::QueuedConnection);
    });
}

void LivePreview::paired(quint64 generation, ElementAlignment alignment)
{
    if (generation != generation_)
        return; // a newer text is on its way
    alignment_ = std::move(alignment);
    LiveTrace::mark("paired");
    // The preview follows the typing: the caret's element comes into view if it is not.
    revealedTag_ = -1;
    revealCaretElement();
}

void LivePreview::caretMoved()
{
    if (upToDate())
        revealCaretElement();
}

void LivePreview::revealCaretElement()
{
    const qsizetype tag = outline_->elementAt(editor_.cursorPosition());
    if (tag == revealedTag_)
        return;
    revealedTag_ = tag;
    const qsizetype element = alignment_.elementOfTag(tag);
    if (element >= 0)
        browser_.revealElement(int(element));
}

void LivePreview::elementPicked(const QList<int>& indexes)
{
    for (const int element : indexes) {
        const qsizetype tag = alignment_.tagOfElement(element);
        if (tag < 0)
            continue;
        const TagAt& start = outline_->tags()[std::size_t(outline_->startTags()[std::size_t(tag)])];
        revealedTag_ = tag;
        editor_.setFocus();
        editor_.setCursorPosition(start.start);
        editor_.ensureCursorVisible();
        return;
    }
}

void LivePreview::dialogSuppressed()
{
    if (dialogNoted_)
        return;
    dialogNoted_ = true;
    if (!notice_)
        notice_ = new NoticeBar(&browser_);
    notice_->showNotice(
        QStringLiteral("Живой просмотр: окна alert, confirm и prompt страницы при обновлении не "
                       "показываются. F5 сохранит файл и покажет страницу целиком."),
        {}, dialogNoticeMs);
}
