#include "utilities/ColorCodes.h"

#include "support/TestNames.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct EditValueCase
{
    const char* text;
    std::int32_t value;
};

void PrintTo(const EditValueCase& c, std::ostream* out)
{
    *out << "EditValue(";
    PrintTo(QString::fromUtf8(c.text), out);
    *out << ") = " << c.value;
}

std::string editValueCaseName(const ::testing::TestParamInfo<EditValueCase>& row)
{
    return "Text" + testNameOf(QString::fromUtf8(row.param.text));
}

class EditValueTest : public ::testing::TestWithParam<EditValueCase>
{};

TEST_P(EditValueTest, ReadsTheNumberUpToTheFirstInvalidCharacter)
{
    EXPECT_EQ(EditValue(QString::fromUtf8(GetParam().text)), GetParam().value)
        << "text \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Examples, EditValueTest,
    ::testing::Values(
        // Plain numbers, blanks, signs.
        EditValueCase{"", 0}, EditValueCase{"   ", 0}, EditValueCase{"0", 0},
        EditValueCase{"255", 255}, EditValueCase{"300", 300}, EditValueCase{"007", 7},
        EditValueCase{"  42", 42}, EditValueCase{"+5", 5}, EditValueCase{"-7", -7},
        EditValueCase{"-0", 0},
        // Failures give what was read before, without the sign.
        EditValueCase{"abc", 0}, EditValueCase{"12a", 12}, EditValueCase{"12 ", 12},
        EditValueCase{"1 2", 1}, EditValueCase{"-12a", 12}, EditValueCase{"-7x", 7},
        EditValueCase{"-", 0}, EditValueCase{"+", 0}, EditValueCase{"--5", 0},
        EditValueCase{"+-5", 0}, EditValueCase{"5-", 5}, EditValueCase{"- 5", 0},
        EditValueCase{"\t5", 0}, EditValueCase{"\u00a05", 0}, EditValueCase{"\u0663", 0},
        // Hexadecimal prefixes; a sign admits only decimal digits.
        EditValueCase{"$ff", 255}, EditValueCase{"$FF", 255}, EditValueCase{"x1f", 31},
        EditValueCase{"X1F", 31}, EditValueCase{"0x1F", 31}, EditValueCase{"0X1f", 31},
        EditValueCase{"  $10", 16}, EditValueCase{"$1G", 1}, EditValueCase{"$", 0},
        EditValueCase{"x", 0}, EditValueCase{"0x", 0}, EditValueCase{"0x0x", 0},
        EditValueCase{"00x1F", 0}, EditValueCase{"-$1F", 0}, EditValueCase{"-0x1F", 0},
        EditValueCase{"$ff ", 255}),
    editValueCaseName);

INSTANTIATE_TEST_SUITE_P(
    Overflow, EditValueTest,
    ::testing::Values(
        // Decimal: a further digit is refused once more than 214748364 has been read.
        EditValueCase{"99999999999", 999999999}, EditValueCase{"2147483647", INT_MAX},
        EditValueCase{"2147483648", INT_MIN}, EditValueCase{"2147483649", INT_MIN + 1},
        EditValueCase{"2147483650", 214748365}, EditValueCase{"4294967295", 429496729},
        EditValueCase{"21474836470", 2147483647}, EditValueCase{"-2147483648", INT_MIN},
        EditValueCase{"-2147483647", -INT_MAX}, EditValueCase{"-2147483649", INT_MIN + 1},
        EditValueCase{"+2147483648", INT_MIN}, EditValueCase{"0000000000002147483647", INT_MAX},
        // Hexadecimal: a further digit is refused once more than $0FFFFFFF has been read.
        EditValueCase{"$7FFFFFFF", INT_MAX}, EditValueCase{"$80000000", INT_MIN},
        EditValueCase{"$FFFFFFFF", -1}, EditValueCase{"$0FFFFFFF0", -16},
        EditValueCase{"$100000000", 0x10000000}, EditValueCase{"0xFFFFFFFFF", -1}),
    editValueCaseName);

TEST(HexByteTest, GivesTwoUpperCaseDigits)
{
    const struct
    {
        int n;
        const char* text;
    } cases[] = {{0, "00"}, {10, "0A"}, {171, "AB"}, {255, "FF"}, {256, ""}, {-1, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(HexByte(c.n), QString::fromLatin1(c.text)) << c.n;
}

TEST(DecTextTest, WritesPlainDecimal)
{
    EXPECT_EQ(DecText(0), "0");
    EXPECT_EQ(DecText(255), "255");
    EXPECT_EQ(DecText(-7), "-7");
    EXPECT_EQ(DecText(INT_MIN), "-2147483648");
    EXPECT_EQ(DecText(INT_MAX), "2147483647");
}

TEST(RGBTest, KeepsTheLowEightBitsOfEachComponent)
{
    EXPECT_EQ(RGB(255, 128, 0), 0x0080FFu);
    EXPECT_EQ(RGB(300, 0, 0), 44u);
    EXPECT_EQ(RGB(-5, 0, 0), 251u);
    EXPECT_EQ(RGB(0, 256, -1), 0xFF0000u);
    EXPECT_EQ(RGB(INT_MIN, INT_MAX, 0), 0x00FF00u);
    EXPECT_EQ(HexColor(RGB(255, 128, 0)), "FF8000");
}

} // namespace
