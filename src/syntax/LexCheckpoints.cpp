#include "syntax/LexCheckpoints.h"

#include "syntax/HtmlLexer.h"

#include <algorithm>

LexCheckpoints::LexCheckpoints(Reader reader, qsizetype length) : reader_(std::move(reader))
{
    reset(length);
}

void LexCheckpoints::reset(qsizetype length)
{
    length_ = length;
    points_.assign(1, Point{0, LexState()});
    valid_ = 0;
    resyncFrom_ = 0;
    resume_ = Point{-1, {}};
}

void LexCheckpoints::edit(qsizetype position, qsizetype removed, qsizetype added)
{
    length_ += added - removed;
    // A state depends on the text up to the lexer's look-ahead past it.
    const qsizetype affectedFrom = position - HtmlLexer::lookahead;
    const qsizetype delta = added - removed;
    std::vector<Point> kept;
    kept.reserve(points_.size());
    std::size_t valid = 0;
    for (std::size_t k = 0; k < points_.size(); ++k) {
        Point point = points_[k];
        if (k == 0 || point.position <= affectedFrom) {
            if (k <= valid_)
                valid = kept.size();
            kept.push_back(point);
        } else if (point.position >= position + removed) {
            point.position += delta;
            kept.push_back(point);
        }
    }
    const bool hadOld = valid_ + 1 < points_.size() && resyncFrom_ > position;
    points_ = std::move(kept);
    valid_ = valid;
    if (resume_.position > affectedFrom)
        resume_.position = -1;
    // Old states behind an earlier edit may be met only behind this edit too.
    qsizetype resync = position + added;
    if (hadOld)
        resync = std::max(resync, resyncFrom_ >= position + removed ? resyncFrom_ + delta : resync);
    resyncFrom_ = resync;
}

LexState LexCheckpoints::lexRange(LexState state, qsizetype from, qsizetype to,
                                  std::vector<TokenRun>& runs)
{
    const QString text = reader_(from, to - from + HtmlLexer::lookahead);
    lexed_ += to - from;
    return HtmlLexer::lex(state, text, to - from, runs);
}

bool LexCheckpoints::advanceTo(qsizetype position, qsizetype budget)
{
    qsizetype spent = 0;
    while (points_[valid_].position < std::min(position, length_)) {
        if (budget >= 0 && spent >= budget)
            return false;
        const Point& from = points_[valid_];
        const bool hasOld = valid_ + 1 < points_.size();
        qsizetype stop = std::min(length_, from.position + maximumSpacing);
        if (hasOld)
            stop = std::min(stop, points_[valid_ + 1].position);
        // Prefer a stop just after a line break once the minimum spacing has passed.
        if (stop - from.position > minimumSpacing &&
            !(hasOld && stop == points_[valid_ + 1].position)) {
            const QString window =
                reader_(from.position + minimumSpacing, stop - from.position - minimumSpacing);
            const qsizetype lineBreak = window.indexOf(u'\n');
            if (lineBreak >= 0)
                stop = from.position + minimumSpacing + lineBreak + 1;
        }
        scratch_.clear();
        const LexState state = lexRange(from.state, from.position, stop, scratch_);
        spent += stop - from.position;
        if (hasOld && stop == points_[valid_ + 1].position) {
            if (stop >= resyncFrom_ && state == points_[valid_ + 1].state) {
                // Met the old states: everything saved behind is right again.
                met_ = stop;
                valid_ = points_.size() - 1;
                resyncFrom_ = 0;
                continue;
            }
            points_[++valid_].state = state;
        } else {
            points_.insert(points_.begin() + qsizetype(valid_) + 1, Point{stop, state});
            ++valid_;
        }
        if (valid_ + 1 == points_.size())
            resyncFrom_ = 0;
    }
    return true;
}

std::size_t LexCheckpoints::validPointBefore(qsizetype position) const
{
    const auto end = points_.begin() + qsizetype(valid_) + 1;
    const auto after =
        std::upper_bound(points_.begin(), end, position,
                         [](qsizetype p, const Point& point) { return p < point.position; });
    return std::size_t(after - points_.begin()) - 1;
}

LexState LexCheckpoints::stateAt(qsizetype position)
{
    position = std::clamp<qsizetype>(position, 0, length_);
    tokens(position, position);
    return resume_.state;
}

std::vector<Token> LexCheckpoints::tokens(qsizetype from, qsizetype to)
{
    from = std::clamp<qsizetype>(from, 0, length_);
    to = std::clamp<qsizetype>(to, from, length_);
    // States are saved over all that is handed out, so that an edit finds old states behind it.
    advanceTo(to);
    Point start = points_[validPointBefore(from)];
    if (resume_.position >= start.position && resume_.position <= from)
        start = resume_;
    scratch_.clear();
    const LexState state = lexRange(start.state, start.position, to, scratch_);
    resume_ = Point{to, state};
    std::vector<Token> tokens;
    qsizetype at = start.position;
    for (const TokenRun& run : scratch_) {
        const qsizetype runEnd = at + run.length;
        if (runEnd > from && at < to)
            tokens.push_back(
                Token{std::max(at, from), std::min(runEnd, to) - std::max(at, from), run.kind});
        at = runEnd;
    }
    return tokens;
}

qsizetype LexCheckpoints::settle(qsizetype budget)
{
    if (valid_ + 1 >= points_.size())
        return points_[valid_].position;
    met_ = -1;
    if (!advanceTo(points_.back().position, budget))
        return -1;
    return met_ >= 0 ? met_ : points_[valid_].position;
}
