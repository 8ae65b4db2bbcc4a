#pragma once

#include "syntax/LexCheckpoints.h"
#include "text/TextDecoration.h"

#include <QObject>
#include <QTextCharFormat>

#include <array>

class HtmlTagAssist;
class TextView;

// Colours HTML in a text view: the view asks for the formats of what it draws, and they come from
// the lexer's tokens there, lexed from saved states; an edit re-lexes only until the states meet
// the old ones again, and repaints the lines whose colours changed. With the colours come the tag
// marks and the completion of end tags. Its owner hands it to the view as (part of) the view's
// decoration.
class HtmlHighlighting : public QObject, public TextDecoration
{
    Q_OBJECT
public:
    explicit HtmlHighlighting(TextView* view);
    ~HtmlHighlighting() override;

    QList<QTextLayout::FormatRange> formats(qsizetype position, qsizetype length) override;

    LexCheckpoints& checkpoints() { return checkpoints_; }
    HtmlTagAssist* tagAssist() const { return tagAssist_; }

private:
    void onContentsChange(qsizetype position, qsizetype removed, qsizetype added);
    const std::array<QTextCharFormat, tokenKindCount>& formatsForBackground();

    TextView* view_;
    LexCheckpoints checkpoints_;
    HtmlTagAssist* tagAssist_ = nullptr; // the view's child
    QRgb tableBackground_ = 0;
    bool tableMade_ = false;
    std::array<QTextCharFormat, tokenKindCount> table_;
};
