#include "editor/HtmlHighlighting.h"

#include "editor/HtmlTagAssist.h"
#include "editor/SyntaxColours.h"
#include "text/TextBuffer.h"
#include "text/TextView.h"

namespace {

// How far an edit's re-lexing may go at once before the view is simply repainted whole.
constexpr qsizetype settleBudget = 64 * 1024;

} // namespace

HtmlHighlighting::HtmlHighlighting(TextView* view)
    : view_(view),
      checkpoints_(
          [buffer = view->buffer()](qsizetype position, qsizetype length) {
              return buffer->mid(position, std::min(length, buffer->length() - position));
          },
          view->buffer()->length())
{
    connect(view->buffer(), &TextBuffer::contentsChange, this, &HtmlHighlighting::onContentsChange);
    tagAssist_ = new HtmlTagAssist(view, checkpoints_);
}

HtmlHighlighting::~HtmlHighlighting()
{
    delete tagAssist_;
}

const std::array<QTextCharFormat, tokenKindCount>& HtmlHighlighting::formatsForBackground()
{
    const QColor base = view_->palette().color(QPalette::Base);
    if (tableMade_ && base.rgb() == tableBackground_)
        return table_;
    const SyntaxColours::Background background = SyntaxColours::backgroundFor(base);
    for (int k = 0; k < tokenKindCount; ++k) {
        table_[k] = QTextCharFormat();
        const QColor colour = SyntaxColours::colour(TokenKind(k), background);
        if (colour.isValid())
            table_[k].setForeground(colour);
    }
    tableBackground_ = base.rgb();
    tableMade_ = true;
    return table_;
}

QList<QTextLayout::FormatRange> HtmlHighlighting::formats(qsizetype position, qsizetype length)
{
    const auto& table = formatsForBackground();
    QList<QTextLayout::FormatRange> ranges;
    for (const Token& token : checkpoints_.tokens(position, position + length)) {
        const QTextCharFormat& format = table[int(token.kind)];
        if (!format.hasProperty(QTextFormat::ForegroundBrush))
            continue;
        ranges.append({int(token.start - position), int(token.length), format});
    }
    tagAssist_->addMarks(ranges, position, length);
    return ranges;
}

void HtmlHighlighting::onContentsChange(qsizetype position, qsizetype removed, qsizetype added)
{
    const TextBuffer* buffer = view_->buffer();
    if (position == 0 && added == buffer->length()) {
        checkpoints_.reset(buffer->length());
        return; // the view repaints all of a new text
    }
    checkpoints_.edit(position, removed, added);
    // The view repaints the edited lines; the colours of the lines after them change only when
    // the edit changed the lexer's state there (a comment or a quote opened or closed).
    const qsizetype settled = checkpoints_.settle(settleBudget);
    const qsizetype editEnd = buffer->lineAt(position + added);
    if (settled < 0) {
        view_->viewport()->update();
        return;
    }
    const qsizetype lastChanged = buffer->lineAt(std::max<qsizetype>(0, settled - 1));
    if (lastChanged > editEnd) {
        const QRect from = view_->characterRect(buffer->lineStart(editEnd + 1));
        const QRect to = view_->characterRect(buffer->lineStart(lastChanged));
        view_->viewport()->update(
            QRect(0, from.top(), view_->viewport()->width(), to.bottom() - from.top() + 1));
    }
}
