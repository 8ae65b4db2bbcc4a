#pragma once

#include "syntax/HtmlTags.h"

#include <QObject>
#include <QTextLayout>

class TextView;

// The tag help of HTML-aware editing: with the caret in a tag's name that tag and its partner are
// marked (a tag without its partner in another colour), and typing "</" completes the name of the
// innermost open element and the '>'; typing on what was completed, as a user who did not wait
// for it does, types over it instead of repeating it. Both searches are bounded, so a key never
// waits for them.
class HtmlTagAssist : public QObject
{
    Q_OBJECT
public:
    HtmlTagAssist(TextView* view, LexCheckpoints& checkpoints);

    // Adds the marks over [position, position + length) to `formats` (starts from `position`).
    void addMarks(QList<QTextLayout::FormatRange>& formats, qsizetype position,
                  qsizetype length) const;

    struct Mark
    {
        qsizetype start;
        qsizetype length;
        bool unmatched;
    };
    const std::vector<Mark>& marks() const { return marks_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateMarks();
    void onContentsChange(qsizetype position, qsizetype removed, qsizetype added);
    void completeEndTag(qsizetype slashPosition);
    void repaintMarks();

    TextView* view_;
    LexCheckpoints& checkpoints_;
    HtmlTags tags_;
    std::vector<Mark> marks_;
    // What the last completion inserted and not yet typed over, and where the caret then stands.
    QString echo_;
    qsizetype echoCaret_ = -1;
};
