#pragma once

#include "text/TextDecoration.h"

#include <vector>

// Several decorations of one view as one: the view asks it, and it asks each in turn (later ones
// draw over earlier ones where both set the same property).
class DecorationStack : public TextDecoration
{
public:
    void add(TextDecoration* decoration);
    void remove(TextDecoration* decoration);
    bool isEmpty() const { return layers_.empty(); }

    QList<QTextLayout::FormatRange> formats(qsizetype position, qsizetype length) override;

private:
    std::vector<TextDecoration*> layers_;
};
