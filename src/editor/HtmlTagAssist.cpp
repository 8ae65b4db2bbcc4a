#include "editor/HtmlTagAssist.h"

#include "editor/SyntaxColours.h"
#include "text/TextBuffer.h"
#include "text/TextView.h"

#include <QKeyEvent>

namespace {

// At most this much text is read to pair a tag or to find the open element: a few milliseconds.
constexpr qsizetype searchBudget = 256 * 1024;

} // namespace

HtmlTagAssist::HtmlTagAssist(TextView* view, LexCheckpoints& checkpoints)
    : QObject(view), view_(view), checkpoints_(checkpoints),
      tags_(checkpoints, [buffer = view->buffer()](qsizetype position, qsizetype length) {
          return buffer->mid(position, std::min(length, buffer->length() - position));
      })
{
    connect(view, &TextView::cursorPositionChanged, this, &HtmlTagAssist::updateMarks);
    connect(view->buffer(), &TextBuffer::contentsChange, this, &HtmlTagAssist::onContentsChange);
    view->installEventFilter(this);
    updateMarks();
}

bool HtmlTagAssist::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != view_ || event->type() != QEvent::KeyPress || echo_.isEmpty())
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool commandKey =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!commandKey && view_->cursorPosition() == echoCaret_ && !view_->hasSelection() &&
        key->text() == echo_.front()) {
        echo_.remove(0, 1);
        return true;
    }
    echo_.clear();
    return false;
}

void HtmlTagAssist::repaintMarks()
{
    for (const Mark& mark : marks_) {
        const QRect rect = view_->characterRect(mark.start);
        view_->viewport()->update(0, rect.top(), view_->viewport()->width(), rect.height());
    }
}

void HtmlTagAssist::updateMarks()
{
    if (view_->cursorPosition() != echoCaret_)
        echo_.clear();
    // The caret moves with an edit before the lexer has heard of it; the edit updates the marks.
    if (checkpoints_.length() != view_->buffer()->length())
        return;
    std::vector<Mark> marks;
    const std::optional<TagAt> tag = tags_.tagAt(view_->cursorPosition());
    if (tag) {
        const HtmlTags::Match match = tags_.partnerOf(*tag, searchBudget);
        const bool unmatched = match.kind == HtmlTags::Partner::Missing;
        if (match.kind != HtmlTags::Partner::Unknown)
            marks.push_back({tag->nameStart, tag->nameLength, unmatched});
        if (match.kind == HtmlTags::Partner::Found)
            marks.push_back({match.partner.nameStart, match.partner.nameLength, false});
    }
    const auto same = [](const Mark& a, const Mark& b) {
        return a.start == b.start && a.length == b.length && a.unmatched == b.unmatched;
    };
    if (std::equal(marks.begin(), marks.end(), marks_.begin(), marks_.end(), same))
        return;
    repaintMarks();
    marks_ = std::move(marks);
    repaintMarks();
}

void HtmlTagAssist::addMarks(QList<QTextLayout::FormatRange>& formats, qsizetype position,
                             qsizetype length) const
{
    if (marks_.empty())
        return;
    const bool dark = SyntaxColours::backgroundFor(view_->palette().color(QPalette::Base)) ==
                      SyntaxColours::Background::Black;
    for (const Mark& mark : marks_) {
        const qsizetype from = std::max(mark.start, position);
        const qsizetype to = std::min(mark.start + mark.length, position + length);
        if (from >= to)
            continue;
        QTextCharFormat format;
        if (mark.unmatched)
            format.setBackground(dark ? QColor(0x7a, 0x1f, 0x1f) : QColor(0xff, 0xb0, 0xb0));
        else
            format.setBackground(dark ? QColor(0x4a, 0x4a, 0x10) : QColor(0xff, 0xf0, 0x90));
        formats.append({int(from - position), int(to - from), format});
    }
}

void HtmlTagAssist::onContentsChange(qsizetype position, qsizetype removed, qsizetype added)
{
    echo_.clear();
    repaintMarks();
    marks_.clear();
    updateMarks();
    if (removed != 0 || added != 1 || position < 1)
        return;
    if (view_->buffer()->mid(position - 1, 2) != QLatin1String("</"))
        return;
    // After the key is handled, so that the typed '/' is its own step and the caret is after it.
    QMetaObject::invokeMethod(
        this, [this, position] { completeEndTag(position); }, Qt::QueuedConnection);
}

void HtmlTagAssist::completeEndTag(qsizetype slashPosition)
{
    const TextBuffer* buffer = view_->buffer();
    if (view_->cursorPosition() != slashPosition + 1 || view_->hasSelection() ||
        buffer->mid(slashPosition - 1, 2) != QLatin1String("</"))
        return;
    // Only where a tag may start: in the page's text, not in a comment, script or attribute.
    if (checkpoints_.stateAt(slashPosition - 1).mode != LexState::Mode::Text)
        return;
    const QString name = tags_.openElementBefore(slashPosition - 1, searchBudget);
    if (name.isEmpty())
        return;
    view_->insertPlainText(name + u'>');
    echo_ = name + u'>';
    echoCaret_ = view_->cursorPosition();
}
