#pragma once

#include "syntax/HtmlTags.h"

#include <QStringList>
#include <QStringView>

#include <vector>

// The tags of a whole page in source order, as the lexer finds them (tags in comments, scripts,
// styles and other raw text are no tags), and the element a position of the source lies in. It
// counts characters, not lines, so a page on one long line costs what any page of its size does.
class TagOutline
{
public:
    static TagOutline of(QStringView text);

    const std::vector<TagAt>& tags() const { return tags_; }
    // The start tags' indexes into tags(), in source order: the elements the page names.
    const std::vector<qsizetype>& startTags() const { return startTags_; }
    // The start tags' names (lower case), in source order.
    QStringList startTagNames() const;

    // The innermost element open at `position`: its number among startTags(), or -1 outside
    // every element. A position inside a start tag belongs to that element; inside an end tag,
    // to the element around it. O(log n): the caret asks at every move, on the typing thread.
    qsizetype elementAt(qsizetype position) const;
    // The same answer found by replaying every tag before `position`, O(n): what elementAt
    // falls back to where a void tag left open (its '>' missing) keeps it from its shortcut.
    qsizetype elementAtByReplay(qsizetype position) const;

private:
    static bool isVoidTag(const TagAt& tag);
    // One step of the tree builder's stack of open elements (numbers among the start tags,
    // innermost last): tag `i` opens its element, or closes its own and those inside it.
    void applyTag(std::size_t i, std::vector<qsizetype>& open, qsizetype& startNumber) const;
    // Works out, tag by tag, the innermost element open after each tag.
    void recordInnermost();

    std::vector<TagAt> tags_;
    // Where each tag ends: after its '>', or at the end of the text.
    std::vector<qsizetype> ends_;
    std::vector<qsizetype> startTags_;
    // For each tag, the innermost element open just after it (past its '>'), and while inside it
    // (differs for void and self-closed elements, open only inside their own tag).
    std::vector<qsizetype> innermostAfter_;
    std::vector<qsizetype> innermostInside_;
    // For each tag, the farthest end of a void or self-closed start tag up to it: a position
    // before that end lies inside such a tag and needs the replay.
    std::vector<qsizetype> farthestVoidEnd_;
};
