// Decimal text as the operator types it into a box: blanks, a sign, digits
// up to the first character that is not one.

#include "protocol/decimal_text.h"

#include <gtest/gtest.h>

#include <climits>

namespace velmora::protocol {

namespace {

struct DecimalCase {
    std::u16string_view text;
    int value;
};

const DecimalCase kCases[] = {
    {u"0", 0},
    {u"20", 20},
    {u"5000", 5000},
    {u"007", 7},
    {u"1500ms", 1500},
    {u"  42", 42},
    {u"\t\r\n 9", 9},
    {u"+12", 12},
    {u"-1", -1},
    {u"  -300x5", -300},
    {u"12 34", 12},
    {u"", 0},
    {u"   ", 0},
    {u"ms", 0},
    {u"-", 0},
    {u"+-5", 0},
    {u"- 5", 0},
    {u"x12", 0},
    {u"\u0661\u0662", 0},  // digits of another script are not decimal digits here
    {u"2147483647", INT_MAX},
    {u"2147483648", INT_MAX},
    {u"99999999999999999999999", INT_MAX},
    {u"-2147483648", INT_MIN},
    {u"-99999999999999999999999", INT_MIN},
};

}  // namespace

TEST(DecimalText, ReadsLikeTheOperatorTypedIt)
{
    for (const auto& c : kCases) {
        EXPECT_EQ(ReadDecimal(c.text), c.value) << std::string(c.text.begin(), c.text.end());
    }
}

}  // namespace velmora::protocol
