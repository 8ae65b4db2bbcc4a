#include "text/TextMeasure.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <cmath>

namespace {

constexpr int tabSpaces = 8;

bool isStrongLeftToRightSimple(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x0590 && !c.isMark() && u != u'\t';
}

} // namespace

void TextMeasure::layOutOneLine(QTextLayout& layout)
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e9);
    layout.endLayout();
}

TextMeasure::TextMeasure(const QFont& font)
{
    setFont(font);
}

void TextMeasure::setFont(const QFont& font)
{
    font_ = font;
    // Source text needs neither kerning nor ligatures for Latin and Cyrillic, and without them
    // every character has a fixed advance, which makes measuring megabytes cheap and exact.
    font_.setKerning(false);
    shapedFont_ = font_;
    shapedFont_.setStyleStrategy(
        QFont::StyleStrategy(font_.styleStrategy() & ~QFont::PreferNoShaping));
    font_.setStyleStrategy(QFont::StyleStrategy(font_.styleStrategy() | QFont::PreferNoShaping));
    const QFontMetricsF metrics(font_);
    tabWidth_ = metrics.horizontalAdvance(QLatin1Char(' ')) * tabSpaces;
    lineSpacing_ = std::ceil(metrics.lineSpacing());
    ascent_ = metrics.ascent();
    advances_.assign(tableSize, -1);
}

QChar TextMeasure::displayChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20 && u != u'\t')
        return QChar(char16_t(0x2400 + u)); // control pictures
    if (u == 0x7F)
        return QChar(char16_t(0x2421));
    if (u >= 0x80 && u < 0xA0)
        return QChar(char16_t(0xFFFD));
    if (u == 0x2028)
        return QChar(char16_t(0x21B5));
    if (u == 0x2029)
        return QChar(char16_t(0x00B6));
    return c;
}

QString TextMeasure::forDisplay(QStringView text)
{
    QString shown(text.size(), Qt::Uninitialized);
    QChar* out = shown.data();
    for (const QChar c : text)
        *out++ = displayChar(c);
    return shown;
}

bool TextMeasure::isSafeBoundary(QStringView text, qsizetype at)
{
    if (at <= 0 || at >= text.size())
        return true;
    const QChar before = text[at - 1];
    const QChar after = text[at];
    if (before == u'\t' || after == u'\t')
        return true;
    return isStrongLeftToRightSimple(before) && isStrongLeftToRightSimple(after);
}

bool TextMeasure::isSimple(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x0590)
        return u >= 0x20 && u != 0x7F && !(u >= 0x80 && u < 0xA0) && u != 0xAD && !c.isMark();
    // Punctuation, symbols, arrows, CJK and full-width forms: one glyph each, left to right,
    // unless a format character (zero-width and bidi controls) or a mark.
    const bool plainBlock =
        (u >= 0x2000 && u < 0x2C00) || (u >= 0x3000 && u < 0xA000) || (u >= 0xFF00 && u < 0xFFF0);
    return plainBlock && c.category() != QChar::Other_Format && !c.isMark() &&
           c.direction() != QChar::DirR && c.direction() != QChar::DirAL;
}

const QFont& TextMeasure::fontFor(QStringView run) const
{
    for (const QChar c : run) {
        if (!isSimple(c))
            return shapedFont_;
    }
    return font_;
}

qreal TextMeasure::advance(QChar c) const
{
    float& known = advances_[c.unicode()];
    if (known < 0)
        known = float(runWidth(QStringView(&c, 1)));
    return known;
}

qreal TextMeasure::runWidth(QStringView run) const
{
    if (run.isEmpty())
        return 0;
    QTextLayout layout(forDisplay(run), fontFor(run));
    layOutOneLine(layout);
    return layout.lineAt(0).horizontalAdvance();
}

qreal TextMeasure::width(QStringView text) const
{
    qreal total = 0;
    qsizetype runStart = 0;
    bool simple = true;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\t') {
            simple = simple && isSimple(text[i]);
            continue;
        }
        // A run without tabs ends here.
        const QStringView run = text.sliced(runStart, i - runStart);
        if (simple) {
            for (const QChar c : run)
                total += advance(c);
        } else {
            total += runWidth(run);
        }
        if (i < text.size())
            total += tabWidth_;
        runStart = i + 1;
        simple = true;
    }
    return total;
}

qsizetype TextMeasure::runColumnAt(QStringView run, qreal x) const
{
    QTextLayout layout(forDisplay(run), fontFor(run));
    layOutOneLine(layout);
    return layout.lineAt(0).xToCursor(x, QTextLine::CursorBetweenCharacters);
}

qsizetype TextMeasure::columnAt(QStringView text, qreal x) const
{
    if (x <= 0)
        return 0;
    qreal left = 0;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\t')
            continue;
        const QStringView run = text.sliced(runStart, i - runStart);
        const qreal width = this->width(run);
        if (x < left + width) {
            bool simple = true;
            for (const QChar c : run)
                simple = simple && isSimple(c);
            if (!simple)
                return runStart + runColumnAt(run, x - left);
            for (qsizetype k = 0; k < run.size(); ++k) {
                const qreal w = advance(run[k]);
                if (x < left + w / 2)
                    return runStart + k;
                left += w;
            }
            return i;
        }
        left += width;
        if (i < text.size()) {
            if (x < left + tabWidth_ / 2)
                return i;
            left += tabWidth_;
        }
        runStart = i + 1;
    }
    return text.size();
}
