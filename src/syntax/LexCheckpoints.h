#pragma once

#include "syntax/HtmlToken.h"

#include <QString>

#include <functional>
#include <vector>

// The lexer's states saved along a text, so that any part of it is lexed from a nearby state:
// after a line break once some characters have passed, and every few KB inside a long
// line. Lexing is lazy: states are saved only as far as something asked. An edit keeps the states
// before it; lexing on from there after an edit stops as soon as a new state equals the old one
// at a saved place behind the edit, because from there on the text and so the states are the same.
class LexCheckpoints
{
public:
    // Reads `length` characters of the text from `position` (fewer at its end).
    using Reader = std::function<QString(qsizetype position, qsizetype length)>;

    static constexpr qsizetype minimumSpacing = 64; // then at the next line break
    static constexpr qsizetype maximumSpacing = 4096;

    LexCheckpoints(Reader reader, qsizetype length);

    // The whole text was replaced.
    void reset(qsizetype length);
    // [position, position + removed) of the text became `added` new characters.
    void edit(qsizetype position, qsizetype removed, qsizetype added);

    // The tokens over [from, to), clipped to it.
    std::vector<Token> tokens(qsizetype from, qsizetype to);
    // The state before the character at `position`.
    LexState stateAt(qsizetype position);
    // After edits: lexes on until the new states meet the old ones, lexing at most `budget`
    // characters. Returns where the tokens stop being different from before the edits, or -1 when
    // that is not known within the budget.
    qsizetype settle(qsizetype budget);

    qsizetype length() const { return length_; }
    // Characters lexed so far (to see that lexing stays lazy).
    qsizetype lexedCharacters() const { return lexed_; }
    qsizetype checkpointCount() const { return qsizetype(points_.size()); }

private:
    struct Point
    {
        qsizetype position;
        LexState state;
    };
    // Lexes [from, to) from `state`, runs appended to `runs`; returns the state at `to`.
    LexState lexRange(LexState state, qsizetype from, qsizetype to, std::vector<TokenRun>& runs);
    // Saves states until one at or after `position` is valid (or the text ends); returns false
    // when `budget` characters were lexed first.
    bool advanceTo(qsizetype position, qsizetype budget = -1);
    // Index of the last valid point at or before `position`.
    std::size_t validPointBefore(qsizetype position) const;

    Reader reader_;
    qsizetype length_ = 0;
    std::vector<Point> points_; // by position; [0, valid_] are valid, those after are old
    std::size_t valid_ = 0;
    // Old states may be met only at or after this position (behind every edit since).
    qsizetype resyncFrom_ = 0;
    // Where a sequential reader last stopped, to go on from there.
    Point resume_{-1, {}};
    qsizetype met_ = -1; // where the last settle met the old states
    qsizetype lexed_ = 0;
    std::vector<TokenRun> scratch_;
};
