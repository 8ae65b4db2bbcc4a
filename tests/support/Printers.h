#pragma once

// How the tests print Qt values: in failure messages and in the names of parameterised cases.
// Every test source sees these (the build includes this header first in each of them), so that
// one Qt type prints the same way everywhere.

#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <gtest/gtest-printers.h>

#include <ostream>

// Text in double quotes, as UTF-8; line breaks, tabs and other control characters escaped.
void PrintTo(const QString& text, std::ostream* out);
void PrintTo(QStringView text, std::ostream* out);
void PrintTo(QChar c, std::ostream* out);
// Bytes in double quotes: printable ASCII as itself, everything else as \xNN.
void PrintTo(const QByteArray& bytes, std::ostream* out);
void PrintTo(const QStringList& list, std::ostream* out);
void PrintTo(const QPoint& point, std::ostream* out);
void PrintTo(const QSize& size, std::ostream* out);
void PrintTo(const QRect& rect, std::ostream* out);
void PrintTo(const QColor& color, std::ostream* out);

// A string literal compared with a QString or a QByteArray prints as the text it holds (GoogleTest
// prints a C string compared with anything but std::string as a pointer).
namespace testing::internal {

template <> class FormatForComparison<const char*, QString>
{
public:
    static std::string Format(const char* value) { return PrintToString(QString::fromUtf8(value)); }
};
template <>
class FormatForComparison<char*, QString> : public FormatForComparison<const char*, QString>
{};
template <> class FormatForComparison<const char16_t*, QString>
{
public:
    static std::string Format(const char16_t* value)
    {
        return PrintToString(QString::fromUtf16(value));
    }
};
template <> class FormatForComparison<const char*, QByteArray>
{
public:
    static std::string Format(const char* value) { return PrintToString(QByteArray(value)); }
};
template <>
class FormatForComparison<char*, QByteArray> : public FormatForComparison<const char*, QByteArray>
{};

} // namespace testing::internal
