#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <vector>

class QPainter;
class TextMeasure;

// An input method's text being composed, shown at one column of the caret's line.
struct LinePreedit
{
    qsizetype column = -1; // -1: none
    QString text;
    QList<QTextLayout::FormatRange> formats;
};

// The drawn part of one line: the characters of a window of the line, shaped with QTextLayout in
// runs between tabs (a tab ends every bidirectional run, so each run is reordered on its own
// exactly as the whole line would be). Columns are the line's own; x counts from the line's
// start. An input method's preedit text can be shown inside the slice at one column.
class LineSlice
{
public:
    using Preedit = LinePreedit;

    // `text` holds the line's characters [startColumn, startColumn + text.size()); the slice
    // starts at `startX`. `formats` colour the text (starts count from the slice's start).
    LineSlice(const QString& text, qsizetype startColumn, qreal startX, const TextMeasure& measure,
              const Preedit& preedit = Preedit(),
              const QList<QTextLayout::FormatRange>& formats = {});
    ~LineSlice();

    qsizetype startColumn() const { return startColumn_; }
    qsizetype endColumn() const { return startColumn_ + length_; }
    qreal startX() const { return startX_; }
    qreal endX() const;

    // Where the caret before `column` is drawn (the visual position, right-to-left runs
    // included); `preeditCursor` places it inside the preedit text at the preedit's column.
    qreal xForColumn(qsizetype column, int preeditCursor = -1) const;
    // The caret position nearest to `x`.
    qsizetype columnAt(qreal x) const;

    struct Selection
    {
        qsizetype start = 0; // columns of the line
        qsizetype end = 0;
        QColor background;
        QColor foreground;
    };
    // Draws the slice with its top-left at `top` (x of the line's start, y of the line's top).
    void draw(QPainter& painter, QPointF lineOrigin, qreal height, const QColor& text,
              const Selection& selection) const;

private:
    struct Run
    {
        qsizetype start = 0; // offset in the slice
        qsizetype length = 0;
        qreal x = 0;
        qreal width = 0;
        bool tab = false;
        qsizetype preeditAt = -1; // offset in the run where the preedit shows
        qsizetype preeditLength = 0;
        std::unique_ptr<QTextLayout> layout;
    };
    const Run& runAt(qsizetype offset) const;
    // The part of `formats` over the slice's characters [from, to), counted from `from`.
    static QList<QTextLayout::FormatRange>
    formatsOfRun(const QList<QTextLayout::FormatRange>& formats, qsizetype from, qsizetype to);
    // Position inside a run's layout of the run's offset `offset`, taking the preedit into account.
    static int layoutPosition(const Run& run, qsizetype offset);

    qsizetype startColumn_;
    qsizetype length_;
    qreal startX_;
    qreal tabWidth_;
    qreal ascent_;
    std::vector<Run> runs_;
};
