#include "text/TextBoundaries.h"

#include "text/TextBuffer.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace TextBoundaries {

namespace {

// Characters read on each side of a position to find word and cluster boundaries.
constexpr qsizetype boundaryWindow = 256;

// A part of one line read around a position, to find the character and word boundaries near it
// without reading the whole line.
struct LineWindow
{
    qsizetype line;
    qsizetype column; // the position's
    qsizetype length; // the line's, without its break
    qsizetype start;  // where `text` starts in the text
    QString text;
    qsizetype caret; // the position's index in `text`
};

// The position's line from `behind` characters before it to `ahead` characters after it (no
// further than the line's end when `ahead` is not 0).
LineWindow lineWindow(const TextBuffer& buffer, qsizetype position, qsizetype behind,
                      qsizetype ahead)
{
    LineWindow window{};
    window.line = lineOf(buffer, position, &window.column);
    window.length = buffer.lineLength(window.line);
    const qsizetype from = std::max<qsizetype>(0, window.column - behind);
    const qsizetype to =
        ahead == 0 ? window.column : std::min(window.length, window.column + ahead);
    window.start = buffer.lineStart(window.line) + from;
    window.text = buffer.mid(window.start, to - from);
    window.caret = window.column - from;
    return window;
}

bool isPunctuation(QChar c)
{
    return !isWordCharacter(c) && !c.isSpace();
}

} // namespace

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}

qsizetype lineOf(const TextBuffer& buffer, qsizetype position, qsizetype* column)
{
    const qsizetype line = buffer.lineAt(position);
    if (column)
        *column = position - buffer.lineStart(line);
    return line;
}

qsizetype lineEnd(const TextBuffer& buffer, qsizetype line)
{
    return buffer.lineStart(line) + buffer.lineLength(line);
}

qsizetype nextLineStart(const TextBuffer& buffer, qsizetype line)
{
    return line + 1 < buffer.lineCount() ? buffer.lineStart(line + 1) : buffer.length();
}

qsizetype clampPosition(const TextBuffer& buffer, qsizetype position)
{
    position = std::clamp<qsizetype>(position, 0, buffer.length());
    const qsizetype line = lineOf(buffer, position);
    return std::min(position, lineEnd(buffer, line));
}

qsizetype previousCharacter(const TextBuffer& buffer, qsizetype position)
{
    const LineWindow w = lineWindow(buffer, position, boundaryWindow, 0);
    if (w.column == 0)
        return w.line == 0 ? 0 : lineEnd(buffer, w.line - 1);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, w.text);
    finder.setPosition(w.text.size());
    const qsizetype previous = finder.toPreviousBoundary();
    return w.start + std::max<qsizetype>(previous, 0);
}

qsizetype nextCharacter(const TextBuffer& buffer, qsizetype position)
{
    const LineWindow w = lineWindow(buffer, position, 0, boundaryWindow);
    if (w.column >= w.length)
        return w.line + 1 < buffer.lineCount() ? buffer.lineStart(w.line + 1) : position;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, w.text);
    const qsizetype next = finder.toNextBoundary();
    return w.start + (next > 0 ? next : w.text.size());
}

qsizetype previousWordStart(const TextBuffer& buffer, qsizetype position)
{
    const LineWindow w = lineWindow(buffer, position, boundaryWindow, 0);
    if (w.column == 0)
        return previousCharacter(buffer, position);
    const QString& window = w.text;
    qsizetype i = window.size();
    // Back over the spaces, then over the word or the run of punctuation before them.
    while (i > 0 && window[i - 1].isSpace())
        --i;
    if (i > 0 && isPunctuation(window[i - 1])) {
        while (i > 0 && isPunctuation(window[i - 1]))
            --i;
        return w.start + i;
    }
    while (i > 0 && isWordCharacter(window[i - 1]))
        --i;
    return w.start + i;
}

qsizetype nextWordStart(const TextBuffer& buffer, qsizetype position)
{
    const LineWindow w = lineWindow(buffer, position, 0, boundaryWindow);
    if (w.column >= w.length)
        return nextCharacter(buffer, position);
    const QString& window = w.text;
    qsizetype i = 0;
    // Past the word (or the run of punctuation) under the caret, then past the spaces.
    if (isWordCharacter(window[0])) {
        while (i < window.size() && isWordCharacter(window[i]))
            ++i;
    } else if (isPunctuation(window[0])) {
        while (i < window.size() && isPunctuation(window[i]))
            ++i;
    }
    while (i < window.size() && window[i].isSpace())
        ++i;
    return w.start + i;
}

qsizetype wordStartAt(const TextBuffer& buffer, qsizetype position)
{
    const LineWindow w = lineWindow(buffer, position, boundaryWindow, 1);
    qsizetype i = w.caret;
    if (i >= w.text.size() || !isWordCharacter(w.text[i]))
        return position;
    while (i > 0 && isWordCharacter(w.text[i - 1]))
        --i;
    return w.start + i;
}

qsizetype wordEndAt(const TextBuffer& buffer, qsizetype position)
{
    const LineWindow w = lineWindow(buffer, position, 0, boundaryWindow);
    if (w.text.isEmpty())
        return position;
    if (!isWordCharacter(w.text[0]))
        return nextCharacter(buffer, position);
    qsizetype i = 0;
    while (i < w.text.size() && isWordCharacter(w.text[i]))
        ++i;
    return w.start + i;
}

QString withLineBreaks(QStringView text, QStringView newline)
{
    QString converted;
    converted.reserve(text.size() + (newline.size() > 1 ? text.count(u'\n') : 0));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isLineBreak(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            converted += newline;
        } else {
            converted += c;
        }
    }
    return converted;
}

} // namespace TextBoundaries
