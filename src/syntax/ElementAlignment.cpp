#include "syntax/ElementAlignment.h"

namespace {

// How far ahead a name is looked for when the two lists disagree.
constexpr qsizetype window = 16;

// Elements the parser makes when their tags are left out.
bool mayBeImplied(const QString& element)
{
    static const QStringList implied = {QStringLiteral("html"), QStringLiteral("head"),
                                        QStringLiteral("body"), QStringLiteral("tbody"),
                                        QStringLiteral("colgroup")};
    return implied.contains(element);
}

// The distance from `from` to the next `name` in `list` within the window, or -1.
qsizetype distanceTo(const QStringList& list, qsizetype from, const QString& name)
{
    const qsizetype end = std::min(list.size(), from + window);
    for (qsizetype i = from; i < end; ++i) {
        if (list[i] == name)
            return i - from;
    }
    return -1;
}

// How many names agree from a[i] and b[j] on, up to the window.
qsizetype agreeing(const QStringList& a, qsizetype i, const QStringList& b, qsizetype j)
{
    qsizetype n = 0;
    while (n < window && i + n < a.size() && j + n < b.size() && a[i + n] == b[j + n])
        ++n;
    return n;
}

} // namespace

ElementAlignment::ElementAlignment(const QStringList& sourceTags, const QStringList& elements)
    : elementOfTag_(std::size_t(sourceTags.size()), -1),
      tagOfElement_(std::size_t(elements.size()), -1)
{
    qsizetype tag = 0;
    qsizetype element = 0;
    while (tag < sourceTags.size() && element < elements.size()) {
        const QString& tagName = sourceTags[tag];
        const QString& elementName = elements[element];
        if (tagName == elementName) {
            elementOfTag_[std::size_t(tag++)] = element;
            tagOfElement_[std::size_t(element++)] = tag - 1;
            continue;
        }
        if (mayBeImplied(elementName)) {
            ++element;
            continue;
        }
        // Skip elements without tags or tags without elements, whichever makes the two agree
        // longer afterwards.
        const qsizetype elementsToSkip = distanceTo(elements, element + 1, tagName);
        const qsizetype tagsToSkip = distanceTo(sourceTags, tag + 1, elementName);
        const qsizetype afterElements =
            elementsToSkip < 0 ? -1
                               : agreeing(sourceTags, tag, elements, element + elementsToSkip + 1);
        const qsizetype afterTags =
            tagsToSkip < 0 ? -1 : agreeing(sourceTags, tag + tagsToSkip + 1, elements, element);
        if (afterElements < 0 && afterTags < 0) {
            ++tag;
            ++element;
        } else if (afterElements > afterTags) {
            element += elementsToSkip + 1;
        } else {
            tag += tagsToSkip + 1;
        }
    }
}

qsizetype ElementAlignment::elementOfTag(qsizetype tag) const
{
    return tag >= 0 && tag < qsizetype(elementOfTag_.size()) ? elementOfTag_[std::size_t(tag)] : -1;
}

qsizetype ElementAlignment::tagOfElement(qsizetype element) const
{
    return element >= 0 && element < qsizetype(tagOfElement_.size())
               ? tagOfElement_[std::size_t(element)]
               : -1;
}
