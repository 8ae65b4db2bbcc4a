#pragma once

#include "syntax/LexCheckpoints.h"

#include <QString>

#include <optional>

// One tag of the page, as the lexer found it.
struct TagAt
{
    qsizetype start = 0;     // its '<'
    qsizetype nameStart = 0; // its name
    qsizetype nameLength = 0;
    QString name; // lower case
    bool endTag = false;
    bool selfClosing = false; // ends with "/>"
};

// Tags around a position, from the lexer's tokens (so that tags in comments, scripts, styles and
// other raw text are no tags): the tag under the caret, its partner, and the innermost element
// still open before a position. Every search reads at most a budget of characters.
class HtmlTags
{
public:
    enum class Partner {
        Found,     // `partner` holds it
        Missing,   // the tag has none
        NotNeeded, // a void element or a self-closed tag
        Implied,   // an optional end tag, implied by what follows
        Unknown,   // not found within the budget
    };
    struct Match
    {
        Partner kind = Partner::Unknown;
        TagAt partner;
    };

    HtmlTags(LexCheckpoints& checkpoints, LexCheckpoints::Reader reader);

    // The tag whose name holds `position` (the caret inside it or just after it).
    std::optional<TagAt> tagAt(qsizetype position);
    Match partnerOf(const TagAt& tag, qsizetype budget);
    // The innermost element open before `position` (lower case), empty when none is found.
    QString openElementBefore(qsizetype position, qsizetype budget);

    static bool isVoidElement(const QString& name);
    static bool hasOptionalEnd(const QString& name);
    // An element whose end tag may be left out, implied by the start tag `next`.
    static bool isImpliedEndBy(const QString& open, const QString& next);

private:
    // The tags whose names start in [from, to), in order.
    std::vector<TagAt> tagsIn(qsizetype from, qsizetype to);

    LexCheckpoints& checkpoints_;
    LexCheckpoints::Reader reader_;
};
