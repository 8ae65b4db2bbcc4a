#include "editor/LivePreview.h"

#include "document/DocumentFormat.h"
#include "document/DocumentSession.h"
#include "editor/NoticeBar.h"
#include "platform/Browser.h"
#include "text/SourceEditor.h"

#include <QDir>

namespace {

// An update whose page never reports its load (a failed engine, a load the user stopped) holds
// the next one back no longer than this.
constexpr qint64 lostUpdateMs = 10000;
constexpr int dialogNoticeMs = 8000;

} // namespace

LivePreview::LivePreview(SourceEditor& editor, DocumentSession& session, Browser& browser,
                         QString templateDirectory, QObject* parent)
    : QObject(parent), editor_(editor), session_(session), browser_(browser),
      templateDirectory_(std::move(templateDirectory))
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
    dirty_ = false;
    inFlight_ = true;
    updateClock_.start();
    const QString text = editor_.PlainText();
    TagOutline outline = TagOutline::of(text);
    QStringList tagNames = outline.startTagNames();
    show({++generation_, path, encodeDocument(text, session_.format()), std::move(outline),
          std::move(tagNames)});
}

void LivePreview::textChanged()
{
    dirty_ = true;
    pause_.start(pacing_.pauseMs());
}

void LivePreview::startUpdate()
{
    if (inFlight_ && updateClock_.elapsed() < lostUpdateMs)
        return; // pageLoaded starts the next one
    const QString path = pagePath();
    if (path.isEmpty())
        return;
    dirty_ = false;
    inFlight_ = true;
    updateClock_.start();
    worker_.start([this, generation = ++generation_, path, text = editor_.PlainText(),
                   format = session_.format()] {
        Snapshot snapshot{generation, path, encodeDocument(text, format), TagOutline::of(text), {}};
        snapshot.tagNames = snapshot.outline.startTagNames();
        QMetaObject::invokeMethod(
            this, [this, snapshot = std::move(snapshot)]() mutable { show(std::move(snapshot)); },
            Qt::QueuedConnection);
    });
}

void LivePreview::show(Snapshot snapshot)
{
    // serveNow may have shown a newer text meanwhile.
    if (snapshot.generation < generation_)
        return;
    outline_ = std::move(snapshot.outline);
    tagNames_ = std::move(snapshot.tagNames);
    alignment_ = ElementAlignment();
    revealedTag_ = -1;
    browser_.showLivePage(snapshot.path, snapshot.bytes);
}

void LivePreview::pageLoaded()
{
    if (!inFlight_)
        return;
    inFlight_ = false;
    pacing_.updateTook(updateClock_.elapsed());
    if (dirty_)
        pause_.start(pacing_.pauseMs());
}

// A big page lists a hundred thousand elements and more: they are split and paired on the
// worker, away from the typing.
void LivePreview::elementsListed(const QString& names)
{
    worker_.start([this, names, tagNames = tagNames_, generation = generation_] {
        ElementAlignment alignment(tagNames, names.split(QLatin1Char(' '), Qt::SkipEmptyParts));
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
    // The element the caret is in now is where the preview already is: only moves scroll it.
    revealedTag_ = outline_.elementAt(editor_.cursorPosition());
}

void LivePreview::caretMoved()
{
    if (!upToDate())
        return;
    const qsizetype tag = outline_.elementAt(editor_.cursorPosition());
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
        const TagAt& start = outline_.tags()[std::size_t(outline_.startTags()[std::size_t(tag)])];
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
