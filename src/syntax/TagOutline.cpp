#include "syntax/TagOutline.h"

#include "syntax/HtmlLexer.h"

#include <algorithm>

namespace {

// Appends the tags whose names `runs` mark in `text`; runs cover text from its start.
void collectTags(QStringView text, const std::vector<TokenRun>& runs, std::vector<TagAt>& tags,
                 std::vector<qsizetype>& ends)
{
    qsizetype at = 0;
    TagAt* open = nullptr; // the tag whose '>' is still to come
    for (const TokenRun& run : runs) {
        if (run.kind == TokenKind::TagName) {
            TagAt tag;
            tag.nameStart = at;
            tag.nameLength = run.length;
            tag.name = text.mid(at, run.length).toString().toLower();
            tag.endTag = at >= 2 && text[at - 1] == QLatin1Char('/');
            tag.start = at - (tag.endTag ? 2 : 1);
            tags.push_back(std::move(tag));
            ends.push_back(text.size());
            open = &tags.back();
        } else if (run.kind == TokenKind::TagBracket && open) {
            const QStringView bracket = text.mid(at, run.length);
            const qsizetype close = bracket.indexOf(QLatin1Char('>'));
            if (close >= 0) {
                open->selfClosing = !open->endTag && close > 0 && bracket[close - 1] == u'/';
                ends.back() = at + close + 1;
                open = nullptr;
            }
        }
        at += run.length;
    }
}

} // namespace

TagOutline TagOutline::of(QStringView text)
{
    TagOutline outline;
    std::vector<TokenRun> runs;
    HtmlLexer::lex(LexState(), text, text.size(), runs);
    collectTags(text, runs, outline.tags_, outline.ends_);
    for (std::size_t i = 0; i < outline.tags_.size(); ++i) {
        if (!outline.tags_[i].endTag)
            outline.startTags_.push_back(qsizetype(i));
    }
    outline.recordInnermost();
    return outline;
}

QStringList TagOutline::startTagNames() const
{
    QStringList names;
    names.reserve(qsizetype(startTags_.size()));
    for (const qsizetype index : startTags_)
        names << tags_[std::size_t(index)].name;
    return names;
}

bool TagOutline::isVoidTag(const TagAt& tag)
{
    return !tag.endTag && (tag.selfClosing || HtmlTags::isVoidElement(tag.name));
}

void TagOutline::applyTag(std::size_t i, std::vector<qsizetype>& open, qsizetype& startNumber) const
{
    const TagAt& tag = tags_[i];
    const auto nameOf = [this](qsizetype number) -> const QString& {
        return tags_[std::size_t(startTags_[std::size_t(number)])].name;
    };
    if (!tag.endTag) {
        while (!open.empty() && HtmlTags::isImpliedEndBy(nameOf(open.back()), tag.name))
            open.pop_back();
        open.push_back(startNumber++);
        return;
    }
    const auto named = std::find_if(open.rbegin(), open.rend(),
                                    [&](qsizetype number) { return nameOf(number) == tag.name; });
    if (named != open.rend())
        open.erase(std::next(named).base(), open.end());
}

// The replay's steps, once for the whole page with every tag left behind.
void TagOutline::recordInnermost()
{
    std::vector<qsizetype> open;
    const auto innermost = [&open] { return open.empty() ? qsizetype(-1) : open.back(); };
    innermostAfter_.reserve(tags_.size());
    innermostInside_.reserve(tags_.size());
    farthestVoidEnd_.reserve(tags_.size());
    qsizetype startNumber = 0;
    qsizetype farthest = -1;
    for (std::size_t i = 0; i < tags_.size(); ++i) {
        applyTag(i, open, startNumber);
        innermostInside_.push_back(innermost());
        if (isVoidTag(tags_[i])) {
            open.pop_back();
            farthest = std::max(farthest, ends_[i]);
        }
        innermostAfter_.push_back(innermost());
        farthestVoidEnd_.push_back(farthest);
    }
}

qsizetype TagOutline::elementAt(qsizetype position) const
{
    // The tags that start before the position are the ones that count.
    const auto after =
        std::lower_bound(tags_.begin(), tags_.end(), position,
                         [](const TagAt& tag, qsizetype at) { return tag.start < at; });
    const auto counted = std::size_t(after - tags_.begin());
    if (counted == 0)
        return -1;
    const std::size_t last = counted - 1;
    // An earlier void tag whose end lies beyond the position is still open there.
    if (last > 0 && farthestVoidEnd_[last - 1] > position)
        return elementAtByReplay(position);
    return position < ends_[last] ? innermostInside_[last] : innermostAfter_[last];
}

qsizetype TagOutline::elementAtByReplay(qsizetype position) const
{
    // Open elements as numbers among the start tags, innermost last.
    std::vector<qsizetype> open;
    qsizetype startNumber = 0;
    for (std::size_t i = 0; i < tags_.size() && tags_[i].start < position; ++i) {
        applyTag(i, open, startNumber);
        // A void element is open only inside its own tag.
        if (isVoidTag(tags_[i]) && position >= ends_[i])
            open.pop_back();
    }
    return open.empty() ? -1 : open.back();
}
