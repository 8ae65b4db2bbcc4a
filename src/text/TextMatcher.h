#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <vector>

class GapBuffer;

// A prepared search for one needle over a gap buffer, read in place. A line break in the needle
// ("\r\n", "\n" or "\r") matches any one whole line break of the text; other characters compare
// code unit by code unit, case-folded as QString::indexOf folds them when case is ignored.
class TextMatcher
{
public:
    TextMatcher(QStringView needle, Qt::CaseSensitivity cs);

    bool isEmpty() const { return parts_.empty(); }
    // The first match that lies wholly in [from, to), or -1; `end` receives where it ends.
    qsizetype find(const GapBuffer& text, qsizetype from, qsizetype to, qsizetype* end) const;

private:
    struct Part
    {
        // A run [begin, end) of folded_, or a line break when begin == end.
        qsizetype begin;
        qsizetype end;
    };

    // Whether the needle, with its first run at `runPos`, matches inside [from, to).
    bool matchAt(const GapBuffer& text, qsizetype runPos, qsizetype from, qsizetype to,
                 qsizetype* start, qsizetype* end) const;
    bool runMatches(const GapBuffer& text, qsizetype pos, const Part& run) const;
    char32_t foldedAt(const GapBuffer& text, qsizetype pos) const;
    // Candidates for the first run in a contiguous view whose first character is at `base`.
    qsizetype scan(QStringView view, qsizetype base, const GapBuffer& text, qsizetype from,
                   qsizetype to, qsizetype* end) const;
    qsizetype findBreaksOnly(const GapBuffer& text, qsizetype from, qsizetype to,
                             qsizetype* end) const;

    bool ignoreCase_;
    // A needle of one code unit folds each unit of the text alone, as QString does.
    bool unitByUnit_;
    // The needle's non-break code units, folded when case is ignored (a low surrogate after a high
    // one as the folded code point of the pair).
    std::vector<char32_t> folded_;
    std::vector<Part> parts_;
    // The first run of characters (the search key) and the breaks before it.
    qsizetype keyPart_ = -1;
    // The key in coarse form (low surrogates all alike) and its shift table.
    std::vector<char16_t> key_;
    std::array<qsizetype, 256> shift_{};
};
