#include "templates/TemplateComposer.h"

#include "utilities/ColorCodes.h"

namespace {

const QString crlf = QStringLiteral("\r\n");

// The user's line breaks, whichever form they come in, as CR LF.
QString withCrLf(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            result += crlf;
        } else if (c == QLatin1Char('\n')) {
            result += crlf;
        } else {
            result += c;
        }
    }
    return result;
}

// A text inside a double-quoted attribute value.
QString attributeText(const QString& text)
{
    QString escaped = withCrLf(text);
    escaped.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    return escaped;
}

QString commentPiece(const TemplateSettings& s)
{
    if (!s.comment)
        return {};
    return QStringLiteral("<!--") + withCrLf(s.commentText) + QStringLiteral("-->") + crlf;
}

QString headPiece(const TemplateSettings& s)
{
    if (!s.head)
        return {};
    QString piece = QStringLiteral("<HTML>") + crlf + QStringLiteral("<HEAD>") + crlf;
    if (s.description)
        piece += QStringLiteral("<META NAME=\"description\" CONTENT=\"") +
                 attributeText(s.descriptionText) + QStringLiteral("\">") + crlf;
    if (s.keywords)
        piece += QStringLiteral("<META NAME=\"keywords\" CONTENT=\"") +
                 attributeText(s.keywordsText) + QStringLiteral("\">") + crlf;
    if (s.title)
        piece +=
            QStringLiteral("<TITLE>") + withCrLf(s.titleText) + QStringLiteral("</TITLE>") + crlf;
    piece += QStringLiteral("</HEAD>") + crlf;
    return piece;
}

QString colorTag(const TemplateSettings& s)
{
    return QStringLiteral("<BODY bgcolor=#") + templateColorText(s.background) +
           QStringLiteral(" text=#") + templateColorText(s.text) + QStringLiteral(" link=#") +
           templateColorText(s.link) + QStringLiteral(" vlink=#") +
           templateColorText(s.visitedLink) + QStringLiteral(" alink=#") +
           templateColorText(s.activeLink) + QStringLiteral(" >");
}

QString bodyPiece(const TemplateSettings& s)
{
    if (!s.colors && !s.body)
        return {};
    QString piece = (s.colors ? colorTag(s) : QStringLiteral("<BODY>")) + crlf;
    if (s.body)
        piece += withCrLf(s.bodyText) + crlf;
    piece += QStringLiteral("</BODY>") + crlf;
    return piece;
}

} // namespace

QString templateColorText(const QColor& color)
{
    return HexByte(color.red() & 0xFF) + HexByte(color.green() & 0xFF) +
           HexByte(color.blue() & 0xFF);
}

QString ComposeTemplate(const TemplateSettings& settings)
{
    QString text = commentPiece(settings) + headPiece(settings) + bodyPiece(settings);
    if (settings.head)
        text += QStringLiteral("</HTML>");
    return text;
}
