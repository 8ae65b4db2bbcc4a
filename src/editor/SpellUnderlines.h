#pragma once

#include "syntax/LexCheckpoints.h"
#include "syntax/SpellRanges.h"
#include "text/TextDecoration.h"

#include <QObject>

#include <optional>

class SpellChecker;
class TextView;

// Wavy red lines under the misspelt words of a view's page, for what the view draws only: the
// words come from the lexer's tokens there (see SpellRanges) and are looked up as they are drawn.
// The word being typed at the caret is left alone until the caret leaves it.
class SpellUnderlines : public QObject, public TextDecoration
{
    Q_OBJECT
public:
    SpellUnderlines(TextView* view, SpellChecker& checker);

    QList<QTextLayout::FormatRange> formats(qsizetype position, qsizetype length) override;

    // The misspelt word at `position` (the caret inside or just after it), if any.
    std::optional<SpellRanges::Word> misspeltWordAt(qsizetype position);
    // Every word of the page is drawn again (after the checker's answers changed).
    void recheck();

private:
    std::vector<SpellRanges::Word> wordsAround(qsizetype from, qsizetype to);
    void onContentsChange(qsizetype position, qsizetype removed, qsizetype added);
    void onCursorMoved();

    TextView* view_;
    SpellChecker& checker_;
    LexCheckpoints checkpoints_;
    qsizetype caret_ = 0;
};
