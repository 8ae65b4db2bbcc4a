#include "syntax/HtmlTags.h"

#include <QHash>

#include <algorithm>

namespace {

constexpr qsizetype step = 8192;
constexpr qsizetype longestName = 64; // a tag name cut at a window's edge is read from before it

bool holds(const QStringList& names, const QString& name)
{
    return names.contains(name);
}

} // namespace

HtmlTags::HtmlTags(LexCheckpoints& checkpoints, LexCheckpoints::Reader reader)
    : checkpoints_(checkpoints), reader_(std::move(reader))
{}

bool HtmlTags::isVoidElement(const QString& name)
{
    static const QStringList names{"area",  "base",  "br",       "col",   "embed", "hr",
                                   "img",   "input", "link",     "meta",  "param", "source",
                                   "track", "wbr",   "basefont", "frame", "keygen"};
    return holds(names, name);
}

bool HtmlTags::hasOptionalEnd(const QString& name)
{
    static const QStringList names{"p",     "li",    "dt",    "dd",       "td",       "th", "tr",
                                   "thead", "tbody", "tfoot", "option",   "optgroup", "rt", "rp",
                                   "html",  "head",  "body",  "colgroup", "caption"};
    return holds(names, name);
}

bool HtmlTags::isImpliedEndBy(const QString& open, const QString& next)
{
    static const QStringList blocks{
        "address",    "article", "aside",  "blockquote", "details", "div",  "dl",   "fieldset",
        "figcaption", "figure",  "footer", "form",       "h1",      "h2",   "h3",   "h4",
        "h5",         "h6",      "header", "hgroup",     "hr",      "main", "menu", "nav",
        "ol",         "p",       "pre",    "section",    "table",   "ul"};
    if (open == u"p")
        return holds(blocks, next);
    if (open == u"li")
        return next == u"li";
    if (open == u"dt" || open == u"dd")
        return next == u"dt" || next == u"dd";
    if (open == u"td" || open == u"th")
        return next == u"td" || next == u"th" || next == u"tr" || next == u"tbody" ||
               next == u"tfoot";
    if (open == u"tr")
        return next == u"tr" || next == u"tbody" || next == u"tfoot";
    if (open == u"thead" || open == u"tbody")
        return next == u"tbody" || next == u"tfoot";
    if (open == u"option")
        return next == u"option" || next == u"optgroup";
    if (open == u"optgroup")
        return next == u"optgroup";
    if (open == u"rt" || open == u"rp")
        return next == u"rt" || next == u"rp";
    return false;
}

std::vector<TagAt> HtmlTags::tagsIn(qsizetype from, qsizetype to)
{
    const qsizetype readFrom = std::max<qsizetype>(0, from - longestName);
    const qsizetype readTo = std::min(checkpoints_.length(), to + step);
    const std::vector<Token> tokens = checkpoints_.tokens(readFrom, readTo);
    const QString text = reader_(readFrom, readTo - readFrom);
    std::vector<TagAt> tags;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& token = tokens[k];
        if (token.kind != TokenKind::TagName || token.start < from || token.start >= to ||
            token.start == readFrom)
            continue;
        TagAt tag;
        tag.nameStart = token.start;
        tag.nameLength = token.length;
        tag.name = text.mid(token.start - readFrom, token.length).toLower();
        tag.endTag = text[token.start - readFrom - 1] == u'/';
        tag.start = token.start - (tag.endTag ? 2 : 1);
        // The tag ends at the first '>' of its brackets (quoted values are no brackets).
        for (std::size_t j = k + 1; j < tokens.size(); ++j) {
            if (tokens[j].kind != TokenKind::TagBracket)
                continue;
            const qsizetype at = text.indexOf(u'>', tokens[j].start - readFrom);
            if (at >= 0 && at < tokens[j].start + tokens[j].length - readFrom) {
                tag.selfClosing = at > 0 && text[at - 1] == u'/';
                break;
            }
        }
        tags.push_back(tag);
    }
    return tags;
}

std::optional<TagAt> HtmlTags::tagAt(qsizetype position)
{
    const qsizetype from = std::max<qsizetype>(0, position - longestName);
    for (const TagAt& tag : tagsIn(from, position + 1)) {
        if (position >= tag.nameStart && position <= tag.nameStart + tag.nameLength)
            return tag;
    }
    return std::nullopt;
}

HtmlTags::Match HtmlTags::partnerOf(const TagAt& tag, qsizetype budget)
{
    if (!tag.endTag && (tag.selfClosing || isVoidElement(tag.name)))
        return {Partner::NotNeeded, {}};
    if (!tag.endTag) {
        // Forward, with the elements opened since; an end tag closes up to its own element.
        std::vector<QString> open{tag.name};
        for (qsizetype from = tag.nameStart + 1; from < checkpoints_.length() && budget > 0;
             from += step, budget -= step) {
            for (const TagAt& next : tagsIn(from, std::min(from + step, checkpoints_.length()))) {
                if (!next.endTag) {
                    if (next.selfClosing || isVoidElement(next.name))
                        continue;
                    while (!open.empty() && isImpliedEndBy(open.back(), next.name)) {
                        if (open.size() == 1)
                            return {Partner::Implied, next};
                        open.pop_back();
                    }
                    open.push_back(next.name);
                    continue;
                }
                const auto found = std::find(open.rbegin(), open.rend(), next.name);
                if (found == open.rend()) {
                    // The end of an element around it implies an optional end tag.
                    if (hasOptionalEnd(tag.name) && open.size() == 1)
                        return {Partner::Implied, next};
                    continue; // a stray end tag
                }
                if (found == open.rend() - 1)
                    return {Partner::Found, next};
                open.erase(found.base() - 1, open.end());
            }
        }
        return {budget > 0 ? Partner::Missing : Partner::Unknown, {}};
    }
    // Backward: end tags of the same name nest, start tags of it close them.
    int depth = 0;
    for (qsizetype to = tag.start; to > 0 && budget > 0; to -= step, budget -= step) {
        const std::vector<TagAt> tags = tagsIn(std::max<qsizetype>(0, to - step), to);
        for (auto it = tags.rbegin(); it != tags.rend(); ++it) {
            if (it->name != tag.name || (!it->endTag && it->selfClosing))
                continue;
            if (it->endTag)
                ++depth;
            else if (depth-- == 0)
                return {Partner::Found, *it};
        }
    }
    return {budget > 0 ? Partner::Missing : Partner::Unknown, {}};
}

QString HtmlTags::openElementBefore(qsizetype position, qsizetype budget)
{
    QHash<QString, int> closed;
    for (qsizetype to = position; to > 0 && budget > 0; to -= step, budget -= step) {
        const std::vector<TagAt> tags = tagsIn(std::max<qsizetype>(0, to - step), to);
        for (auto it = tags.rbegin(); it != tags.rend(); ++it) {
            if (it->start >= position)
                continue;
            if (it->endTag) {
                ++closed[it->name];
                continue;
            }
            if (it->selfClosing || isVoidElement(it->name))
                continue;
            int& count = closed[it->name];
            if (count > 0)
                --count;
            else
                return it->name;
        }
    }
    return QString();
}
