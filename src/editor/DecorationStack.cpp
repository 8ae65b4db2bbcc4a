#include "editor/DecorationStack.h"

#include <algorithm>

void DecorationStack::add(TextDecoration* decoration)
{
    if (std::find(layers_.begin(), layers_.end(), decoration) == layers_.end())
        layers_.push_back(decoration);
}

void DecorationStack::remove(TextDecoration* decoration)
{
    layers_.erase(std::remove(layers_.begin(), layers_.end(), decoration), layers_.end());
}

QList<QTextLayout::FormatRange> DecorationStack::formats(qsizetype position, qsizetype length)
{
    if (layers_.size() == 1)
        return layers_.front()->formats(position, length);
    QList<QTextLayout::FormatRange> all;
    for (TextDecoration* layer : layers_)
        all.append(layer->formats(position, length));
    return all;
}
