#pragma once

#include <QString>

#include <functional>
#include <vector>

class TextMeasure;

// Cumulative widths of one long line, kept in chunks of about chunkSize characters. Each chunk is
// measured once; an edit marks only the chunk it falls in for measuring again. Mapping a column
// to its x and back is a binary search over the chunks plus the measure of part of one chunk.
class LineWidthCache
{
public:
    static constexpr qsizetype chunkSize = 4096;

    // Reads `length` characters of the line from column `from`.
    using TextReader = std::function<QString(qsizetype from, qsizetype length)>;

    explicit LineWidthCache(qsizetype length = 0);

    // Forgets every width (a new font, or a line replaced as a whole).
    void reset(qsizetype length);
    qsizetype length() const { return length_; }

    // The line's characters [column, column + removed) were replaced by `added` characters.
    void edit(qsizetype column, qsizetype removed, qsizetype added);

    qreal width(const TextReader& text, const TextMeasure& measure);
    // x of the caret position before `column` (width of the line's first `column` characters).
    qreal x(qsizetype column, const TextReader& text, const TextMeasure& measure);
    // The caret position nearest to `x`.
    qsizetype columnAt(qreal x, const TextReader& text, const TextMeasure& measure);

    qsizetype chunkCount() const { return qsizetype(chunks_.size()); }
    // How many chunks have been measured since the cache was made (for tests and benchmarks).
    qsizetype measuredChunks() const { return measuredChunks_; }

private:
    struct Chunk
    {
        qsizetype length = 0;
        qreal width = 0;
        bool measured = false;
    };

    void ensureMeasured(const TextReader& text, const TextMeasure& measure);
    // Index of the chunk holding `column` (the last chunk for the line's end).
    std::size_t chunkAt(qsizetype column) const;

    qsizetype length_ = 0;
    std::vector<Chunk> chunks_;
    // Start column and start x of each chunk, valid while `clean_`.
    std::vector<qsizetype> starts_;
    std::vector<qreal> lefts_;
    bool clean_ = false;
    qsizetype measuredChunks_ = 0;
};
