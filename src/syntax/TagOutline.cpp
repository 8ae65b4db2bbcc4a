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

qsizetype TagOutline::elementAt(qsizetype position) const
{
    // Open elements as numbers among the start tags, innermost last.
    std::vector<qsizetype> open;
    const auto nameOf = [this](qsizetype number) -> const QString& {
        return tags_[std::size_t(startTags_[std::size_t(number)])].name;
    };
    qsizetype startNumber = 0;
    for (std::size_t i = 0; i < tags_.size(); ++i) {
        const TagAt& tag = tags_[i];
        if (tag.start >= position)
            break;
        if (!tag.endTag) {
            while (!open.empty() && HtmlTags::isImpliedEndBy(nameOf(open.back()), tag.name))
                open.pop_back();
            open.push_back(startNumber++);
            const bool inside = position < ends_[i];
            if (!inside && (tag.selfClosing || HtmlTags::isVoidElement(tag.name)))
                open.pop_back();
            continue;
        }
        const auto named = std::find_if(open.rbegin(), open.rend(), [&](qsizetype number) {
            return nameOf(number) == tag.name;
        });
        if (named != open.rend())
            open.erase(std::next(named).base(), open.end());
    }
    return open.empty() ? -1 : open.back();
}
