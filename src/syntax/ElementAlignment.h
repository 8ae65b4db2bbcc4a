#pragma once

#include <QStringList>

#include <vector>

// Pairs the start tags of a page's source with the elements of the page the browser built from
// it, both in order (source order, document order). Elements the parser adds without a tag
// (html, head and body left out, tbody, colgroup) are skipped, as are tags that make no element
// (a second body, tags inside a template or noscript) and elements that scripts or the parser's
// repairs add; what follows is paired again.
class ElementAlignment
{
public:
    ElementAlignment() = default;
    // Names in lower case, as TagOutline and the page's localName give them.
    ElementAlignment(const QStringList& sourceTags, const QStringList& elements);

    // The element of start tag `tag` (its index in document order), or -1.
    qsizetype elementOfTag(qsizetype tag) const;
    // The start tag of element `element`, or -1.
    qsizetype tagOfElement(qsizetype element) const;

private:
    std::vector<qsizetype> elementOfTag_;
    std::vector<qsizetype> tagOfElement_;
};
