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
    // to the element around it.
    qsizetype elementAt(qsizetype position) const;

private:
    std::vector<TagAt> tags_;
    // Where each tag ends: after its '>', or at the end of the text.
    std::vector<qsizetype> ends_;
    std::vector<qsizetype> startTags_;
};
