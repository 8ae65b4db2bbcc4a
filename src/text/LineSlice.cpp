#include "text/LineSlice.h"

#include "text/TextMeasure.h"

#include <QPainter>

#include <algorithm>

LineSlice::LineSlice(const QString& text, qsizetype startColumn, qreal startX,
                     const TextMeasure& measure, const Preedit& preedit,
                     const QList<QTextLayout::FormatRange>& formats)
    : startColumn_(startColumn), length_(text.size()), startX_(startX),
      tabWidth_(measure.tabWidth()), ascent_(measure.ascent())
{
    const qsizetype preeditOffset = preedit.column < 0 ? -1 : preedit.column - startColumn;
    bool preeditPlaced = false;
    qreal x = startX;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\t')
            continue;
        Run run;
        run.start = runStart;
        run.length = i - runStart;
        run.x = x;
        const QStringView runText = QStringView(text).sliced(runStart, run.length);
        run.layout = std::make_unique<QTextLayout>(TextMeasure::forDisplay(runText),
                                                   measure.fontFor(runText));
        QList<QTextLayout::FormatRange> runFormats = formatsOfRun(formats, runStart, i);
        if (!preeditPlaced && preeditOffset >= runStart && preeditOffset <= i &&
            !preedit.text.isEmpty()) {
            run.preeditAt = preeditOffset - runStart;
            run.preeditLength = preedit.text.size();
            run.layout->setPreeditArea(int(run.preeditAt), preedit.text);
            for (QTextLayout::FormatRange& range : runFormats) {
                if (range.start >= run.preeditAt)
                    range.start += int(run.preeditLength);
            }
            for (QTextLayout::FormatRange range : preedit.formats) {
                range.start += int(run.preeditAt);
                runFormats.append(range);
            }
            preeditPlaced = true;
        }
        if (!runFormats.isEmpty())
            run.layout->setFormats(runFormats);
        TextMeasure::layOutOneLine(*run.layout);
        run.width = run.layout->lineAt(0).horizontalAdvance();
        x += run.width;
        runs_.push_back(std::move(run));
        if (i < text.size()) {
            Run tab;
            tab.start = i;
            tab.length = 1;
            tab.x = x;
            tab.width = tabWidth_;
            tab.tab = true;
            x += tabWidth_;
            runs_.push_back(std::move(tab));
        }
        runStart = i + 1;
    }
}

LineSlice::~LineSlice() = default;

QList<QTextLayout::FormatRange>
LineSlice::formatsOfRun(const QList<QTextLayout::FormatRange>& formats, qsizetype from,
                        qsizetype to)
{
    QList<QTextLayout::FormatRange> inRun;
    for (const QTextLayout::FormatRange& range : formats) {
        const qsizetype start = std::max<qsizetype>(range.start, from);
        const qsizetype end = std::min<qsizetype>(range.start + range.length, to);
        if (start < end)
            inRun.append({int(start - from), int(end - start), range.format});
    }
    return inRun;
}

qreal LineSlice::endX() const
{
    return runs_.back().x + runs_.back().width;
}

const LineSlice::Run& LineSlice::runAt(qsizetype offset) const
{
    for (const Run& run : runs_) {
        if (!run.tab && offset >= run.start && offset <= run.start + run.length)
            return run;
    }
    return runs_.back();
}

int LineSlice::layoutPosition(const Run& run, qsizetype offset)
{
    const qsizetype inside = offset - run.start;
    if (run.preeditAt >= 0 && inside > run.preeditAt)
        return int(inside + run.preeditLength);
    return int(inside);
}

qreal LineSlice::xForColumn(qsizetype column, int preeditCursor) const
{
    const qsizetype offset = std::clamp<qsizetype>(column - startColumn_, 0, length_);
    const Run& run = runAt(offset);
    int position = layoutPosition(run, offset);
    if (preeditCursor >= 0 && run.preeditAt == offset - run.start)
        position += preeditCursor;
    return run.x + run.layout->lineAt(0).cursorToX(position);
}

qsizetype LineSlice::columnAt(qreal x) const
{
    for (const Run& run : runs_) {
        if (x >= run.x + run.width && &run != &runs_.back())
            continue;
        if (run.tab)
            return startColumn_ + run.start + (x < run.x + run.width / 2 ? 0 : 1);
        qsizetype position =
            run.layout->lineAt(0).xToCursor(x - run.x, QTextLine::CursorBetweenCharacters);
        if (run.preeditAt >= 0 && position > run.preeditAt)
            position = std::max(run.preeditAt, position - run.preeditLength);
        return startColumn_ + run.start + std::min(position, run.length);
    }
    return startColumn_ + length_;
}

void LineSlice::draw(QPainter& painter, QPointF lineOrigin, qreal height, const QColor& text,
                     const Selection& selection) const
{
    const qsizetype selStart = selection.start - startColumn_;
    const qsizetype selEnd = selection.end - startColumn_;
    QTextCharFormat selected;
    selected.setBackground(selection.background);
    selected.setForeground(selection.foreground);
    painter.setPen(text);
    for (const Run& run : runs_) {
        if (run.tab) {
            if (run.start >= selStart && run.start < selEnd)
                painter.fillRect(QRectF(lineOrigin.x() + run.x, lineOrigin.y(), run.width, height),
                                 selection.background);
            continue;
        }
        const QTextLine line = run.layout->lineAt(0);
        QList<QTextLayout::FormatRange> ranges;
        const qsizetype from = std::max(selStart, run.start);
        const qsizetype to = std::min(selEnd, run.start + run.length);
        if (from < to) {
            QTextLayout::FormatRange range;
            range.start = layoutPosition(run, from);
            range.length = layoutPosition(run, to) - range.start;
            range.format = selected;
            ranges.append(range);
        }
        const QPointF at(lineOrigin.x() + run.x, lineOrigin.y() + ascent_ - line.ascent());
        run.layout->draw(&painter, at, ranges);
    }
}
