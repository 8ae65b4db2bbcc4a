#include "support/Printers.h"

#include <cstdio>

namespace {

void printCode(char16_t unit, std::ostream* out)
{
    char code[8];
    std::snprintf(code, sizeof code, "\\u%04X", unsigned(unit));
    *out << code;
}

void printEscaped(QStringView text, std::ostream* out)
{
    *out << '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '\r':
            *out << "\\r";
            continue;
        case '\n':
            *out << "\\n";
            continue;
        case '\t':
            *out << "\\t";
            continue;
        case '"':
            *out << "\\\"";
            continue;
        case '\\':
            *out << "\\\\";
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            *out << text.mid(i, 2).toString().toStdString();
            ++i;
            continue;
        }
        // Control and format characters, noncharacters and lone surrogates would vanish or
        // garble the terminal: show their code.
        const QChar::Category category = c.category();
        if (c.isSurrogate() || category == QChar::Other_Control ||
            category == QChar::Other_Format || category == QChar::Other_NotAssigned ||
            category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            printCode(c.unicode(), out);
        else
            *out << QString(c).toStdString();
    }
    *out << '"';
}

} // namespace

void PrintTo(const QString& text, std::ostream* out)
{
    printEscaped(text, out);
}

void PrintTo(QStringView text, std::ostream* out)
{
    printEscaped(text, out);
}

void PrintTo(QChar c, std::ostream* out)
{
    printEscaped(QStringView(&c, 1), out);
}

void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"';
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b == '"' || b == '\\') {
            *out << '\\' << byte;
        } else if (b >= 0x20 && b < 0x7f) {
            *out << byte;
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", b);
            *out << code;
        }
    }
    *out << "\" (" << bytes.size() << " bytes)";
}

void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *out << (i ? ", " : " ");
        printEscaped(list[i], out);
    }
    *out << (list.isEmpty() ? "}" : " }");
}

void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << '(' << point.x() << ", " << point.y() << ')';
}

void PrintTo(const QSize& size, std::ostream* out)
{
    *out << size.width() << 'x' << size.height();
}

void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << rect.width() << 'x' << rect.height() << " at (" << rect.x() << ", " << rect.y() << ')';
}

void PrintTo(const QColor& color, std::ostream* out)
{
    if (!color.isValid()) {
        *out << "invalid colour";
        return;
    }
    *out << "RGB(" << color.red() << ", " << color.green() << ", " << color.blue();
    if (color.alpha() != 255)
        *out << ", alpha " << color.alpha();
    *out << ')';
}
