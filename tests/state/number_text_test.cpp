#include "state/number_text.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

TEST(ValueOfText, ReadsTheLeadingNumber) {
    EXPECT_EQ(valueOfText("60000"), 60000);
    EXPECT_EQ(valueOfText("12abc"), 12);
    EXPECT_EQ(valueOfText("abc"), 0);
    EXPECT_EQ(valueOfText(""), 0);
    EXPECT_EQ(valueOfText("1.5"), 1.5);
    EXPECT_EQ(valueOfText("0060000"), 60000);
    EXPECT_EQ(valueOfText("-500"), -500);
    EXPECT_EQ(valueOfText("+7"), 7);
    EXPECT_EQ(valueOfText(".5"), 0.5);
    EXPECT_EQ(valueOfText("1."), 1);
    EXPECT_EQ(valueOfText("1.2.3"), 1.2);
    EXPECT_EQ(valueOfText("-"), 0);
    EXPECT_EQ(valueOfText("."), 0);
}

TEST(ValueOfText, SkipsBlanksInsideTheNumber) {
    EXPECT_EQ(valueOfText("  1 2\t3\n4"), 1234);
    EXPECT_EQ(valueOfText("- 5"), -5);
    EXPECT_EQ(valueOfText("1 , 2"), 1);
    EXPECT_EQ(valueOfText("$5"), 0);
    EXPECT_EQ(valueOfText("1,000"), 1);
}

TEST(ValueOfText, ReadsExponentsWithEOrD) {
    EXPECT_EQ(valueOfText("1E3"), 1000);
    EXPECT_EQ(valueOfText("1e3"), 1000);
    EXPECT_EQ(valueOfText("1D3"), 1000);
    EXPECT_EQ(valueOfText("25E-1"), 2.5);
    EXPECT_EQ(valueOfText("1E"), 1);
    EXPECT_EQ(valueOfText("1Ex"), 1);
    EXPECT_EQ(valueOfText("2E+ 2"), 200);
}

TEST(ValueOfText, ReadsHexAndOctalIntegers) {
    EXPECT_EQ(valueOfText("&H1F"), 31);
    EXPECT_EQ(valueOfText("&hff"), 255);
    EXPECT_EQ(valueOfText("&O17"), 15);
    EXPECT_EQ(valueOfText("&O19"), 1);
    EXPECT_EQ(valueOfText("&X1"), 0);
    EXPECT_EQ(valueOfText("&"), 0);
}

TEST(ValueOfText, ValueBeyondDoubleRangeIsNoNumber) {
    EXPECT_EQ(valueOfText("1E400"), 0);
    EXPECT_EQ(valueOfText("-1E400"), 0);
    EXPECT_EQ(valueOfText(std::string(400, '9')), 0);
}

TEST(DecimalOfText, TakesOnlyAWholeDecimalNumber) {
    EXPECT_EQ(decimalOfText("12"), 12);
    EXPECT_EQ(decimalOfText("+2.5"), 2.5);
    EXPECT_EQ(decimalOfText("-1e3"), -1000);
    EXPECT_EQ(decimalOfText("1."), 1);
    for (const char* text : {"", "+", "+-1", "1 ", "1,5", "0x10", "1p3", "inf", "nan", "1E400"}) {
        EXPECT_EQ(decimalOfText(text), std::nullopt) << text;
    }
}

TEST(TextOfNumber, WritesGeneralNumberForm) {
    EXPECT_EQ(textOfNumber(59), "59");
    EXPECT_EQ(textOfNumber(59.5), "59.5");
    EXPECT_EQ(textOfNumber(-0.5), "-0.5");
    EXPECT_EQ(textOfNumber(0), "0");
    EXPECT_EQ(textOfNumber(-0.0), "0");
    EXPECT_EQ(textOfNumber(2147483647), "2147483647");
    EXPECT_EQ(textOfNumber(123456789012345.0), "123456789012345");
    EXPECT_EQ(textOfNumber(1e15), "1E+15");
    EXPECT_EQ(textOfNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(textOfNumber(1e-5), "1E-05");
}

TEST(CountdownCaption, JoinsStatusRemainingSecondsAndUnit) {
    EXPECT_EQ(countdownCaption("Tolvane：待機中", 59000), "Tolvane：待機中   残り待ち時間59秒");
    EXPECT_EQ(countdownCaption("Tolvane：監視一時停止中", 59500),
              "Tolvane：監視一時停止中   残り待ち時間59.5秒");
    EXPECT_EQ(countdownCaption("x", -500), "x   残り待ち時間-0.5秒");
}

} // namespace
} // namespace tolvane
