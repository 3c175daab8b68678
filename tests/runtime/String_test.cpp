// Strings: construction, number formats, parsing, search, building and conversion.
#include "runtime/Array.h"
#include "runtime/String.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vanta {
namespace test {
// "abc"_s as StringLiteralElsewhere.cpp makes it.
String* AbcLiteralFromAnotherFile();
} // namespace test

namespace {

std::u16string Text(const Ref<String>& s)
{
    return std::u16string(s->View());
}

TEST(StringLiterals, AreStaticAndTheEmptyLiteralIsTheSharedEmptyString)
{
    EXPECT_EQ(Text("abc"_s), u"abc");
    EXPECT_EQ(Text(u"\u00e9t\u00e9"_s), u"\u00e9t\u00e9");
    // The same text written in another translation unit of this program is the very same object.
    EXPECT_EQ("abc"_s, test::AbcLiteralFromAnotherFile()) << "one object per literal text";
    EXPECT_NE("abc"_s, "abd"_s);
    EXPECT_EQ(""_s, EmptyString());
    EXPECT_EQ(EmptyString()->Length(), 0);
}

TEST(StringResults, EveryEmptyResultIsTheSharedEmptyString)
{
    EXPECT_EQ(String::FromCString(nullptr).Raw(), EmptyString());
    EXPECT_EQ(String::FromCString("").Raw(), EmptyString());
    EXPECT_EQ(String::FromWString(nullptr).Raw(), EmptyString());
    EXPECT_EQ(String::FromBytes("x", 0).Raw(), EmptyString());
    EXPECT_EQ(String::FromBytes("x", -4).Raw(), EmptyString());
    EXPECT_EQ(String::FromShorts(u"x", -1).Raw(), EmptyString());
    EXPECT_EQ(NewString(0).Raw(), EmptyString());
    EXPECT_EQ(NewString(-1).Raw(), EmptyString());
    EXPECT_EQ(Slice("abc"_s, 2, 2).Raw(), EmptyString());
    EXPECT_EQ(Slice("abc"_s, 3, 1).Raw(), EmptyString());
    EXPECT_EQ(Concat(""_s, ""_s).Raw(), EmptyString());
    EXPECT_EQ("  \t\n"_s->Trim().Raw(), EmptyString());
    EXPECT_EQ(""_s->ToUpper().Raw(), EmptyString());
    EXPECT_EQ("ab"_s->Replace("ab"_s, ""_s).Raw(), EmptyString());
}

TEST(StringNumbers, IntegersPrintAsPlainDecimal)
{
    EXPECT_EQ(Text(String::FromInt(0)), u"0");
    EXPECT_EQ(Text(String::FromInt(-7)), u"-7");
    EXPECT_EQ(Text(String::FromInt(1234567890)), u"1234567890");
    EXPECT_EQ(Text(String::FromInt(std::numeric_limits<std::int32_t>::min())), u"-2147483648");
    EXPECT_EQ(Text(String::FromLong(std::numeric_limits<std::int64_t>::min())), u"-9223372036854775808");
    EXPECT_EQ(Text(String::FromLong(std::numeric_limits<std::int64_t>::max())), u"9223372036854775807");
}

TEST(StringNumbers, FloatsKeepTheirTrailingZeros)
{
    EXPECT_EQ(Text(String::FromFloat(1.0f)), u"1.00000000");
    EXPECT_EQ(Text(String::FromFloat(0.1f)), u"0.100000001");
    EXPECT_EQ(Text(String::FromDouble(0.5)), u"0.50000000000000000");
    EXPECT_EQ(Text(String::FromDouble(1e300)), u"1.0000000000000001e+300");
}

TEST(StringParsing, ToIntReadsSignsAndThreeBases)
{
    EXPECT_EQ("  -12abc"_s->ToInt(), -12);
    EXPECT_EQ("  +42"_s->ToInt(), 42);
    EXPECT_EQ("$ff"_s->ToInt(), 255);
    EXPECT_EQ("$FfG"_s->ToInt(), 255);
    EXPECT_EQ("%101"_s->ToInt(), 5);
    EXPECT_EQ("-$10"_s->ToInt(), -16);
    EXPECT_EQ("12.9"_s->ToInt(), 12);
    EXPECT_EQ("\t\v\f\r\n 3"_s->ToInt(), 3);
}

TEST(StringParsing, ToIntGivesZeroWithoutDigits)
{
    for (String* text : {""_s, "x1"_s, "-"_s, "+"_s, "$"_s, "%2"_s, "   "_s, "- 1"_s}) {
        EXPECT_EQ(text->ToInt(), 0) << std::string(text->ToCString());
    }
    EXPECT_EQ(u"\u00a01"_s->ToInt(), 0) << "only the C library's white space is skipped";
    EXPECT_EQ(u"\u20001"_s->ToInt(), 0) << "units above 255 are not white space";
}

TEST(StringParsing, ArithmeticWrapsInTheWidthOfTheResult)
{
    EXPECT_EQ("4294967297"_s->ToInt(), 1);
    EXPECT_EQ("-2147483648"_s->ToInt(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ("$FFFFFFFF"_s->ToInt(), -1);
    EXPECT_EQ("$FFFFFFFF"_s->ToLong(), 0xFFFFFFFFll);
    EXPECT_EQ("-9223372036854775808"_s->ToLong(), std::numeric_limits<std::int64_t>::min());
}

TEST(StringParsing, FloatsGoThroughTheCLibrary)
{
    EXPECT_FLOAT_EQ(" 2.5e1xyz"_s->ToFloat(), 25.0f);
    EXPECT_DOUBLE_EQ("0.1"_s->ToDouble(), 0.1);
    EXPECT_EQ("abc"_s->ToDouble(), 0.0);
}

TEST(StringCompare, OrdersUnitByUnitThenByLength)
{
    EXPECT_EQ(Compare("ab"_s, "abc"_s), -1);
    EXPECT_EQ(Compare("b"_s, "a"_s), 1);
    EXPECT_EQ(Compare("abc"_s, String::FromCString("abc")), 0);
    EXPECT_GT(Compare(u"\uffff"_s, "a"_s), 0) << "units are unsigned";
    EXPECT_NE(Compare("A"_s, "a"_s), 0) << "case-sensitive";
    Ref<String> same = String::FromCString("abc");
    EXPECT_EQ("abc"_s->Compare(*same), 0);
}

TEST(StringSearch, FindAndFindLast)
{
    EXPECT_EQ("abcabc"_s->Find("bc"_s, 0), 1);
    EXPECT_EQ("abcabc"_s->Find("bc"_s, 2), 4);
    EXPECT_EQ("abcabc"_s->Find("x"_s, 0), -1);
    EXPECT_EQ("abc"_s->Find(""_s, 3), 3);
    EXPECT_EQ("abc"_s->Find(""_s, 4), -1);
    EXPECT_EQ("abc"_s->Find("a"_s, -5), 0) << "a negative start counts as 0";
    EXPECT_EQ("abcabc"_s->FindLast("bc"_s, 0), 4);
    EXPECT_EQ("abcabc"_s->FindLast("bc"_s, 3), 1);
    EXPECT_EQ("abcabc"_s->FindLast("abc"_s, 0), 3);
    EXPECT_EQ("abcabc"_s->FindLast("bc"_s, 6), -1);
    EXPECT_EQ("ab"_s->FindLast("abc"_s, 0), -1);
    EXPECT_EQ("abc"_s->FindLast(""_s, 0), 3);
}

TEST(StringBuilding, SlicePadsWithSpacesOutsideTheString)
{
    EXPECT_EQ(Text(Slice("abc"_s, 1, 2)), u"b");
    EXPECT_EQ(Text(Slice("abc"_s, 2, 6)), u"c   ");
    EXPECT_EQ(Text(Slice("abc"_s, -2, 5)), u"  abc  ");
    EXPECT_EQ(Text(Slice(""_s, 0, 2)), u"  ");
}

TEST(StringBuilding, TrimDropsControlsAndSpacesAndKeepsTheObjectWhenNothingChanges)
{
    Ref<String> a = "a"_s;
    EXPECT_EQ(a->Trim(), a);
    EXPECT_EQ(Text(" \x01x y\x1f "_s->Trim()), u"x y");
    EXPECT_EQ(Text(u"\u00a0x"_s->Trim()), u"\u00a0x") << "only units up to 32 are dropped";
}

TEST(StringBuilding, ReplaceIsLeftToRightAndNonOverlapping)
{
    EXPECT_EQ(Text("aaa"_s->Replace("aa"_s, "b"_s)), u"ba");
    EXPECT_EQ(Text("a.b.c"_s->Replace("."_s, "::"_s)), u"a::b::c");
    EXPECT_EQ(Text("xyx"_s->Replace("x"_s, "xx"_s)), u"xxyxx");
    Ref<String> abc = "abc"_s;
    EXPECT_EQ(abc->Replace(""_s, "x"_s), abc);
    EXPECT_EQ(abc->Replace("z"_s, "x"_s), abc);
}

TEST(StringBuilding, CaseChangesOnlyTouchAsciiLetters)
{
    EXPECT_EQ(Text(u"aZ\u00e9\u00c9[`"_s->ToUpper()), u"AZ\u00e9\u00c9[`");
    EXPECT_EQ(Text(u"aZ\u00e9\u00c9@["_s->ToLower()), u"az\u00e9\u00c9@[");
    Ref<String> lower = "abc"_s;
    EXPECT_NE(lower->ToLower(), lower) << "always a new string";
}

TEST(StringBuilding, ConcatChrAscAndThePlusOperator)
{
    EXPECT_EQ(Text(Concat("ab"_s, "cd"_s)), u"abcd");
    EXPECT_EQ(Text("x"_s + String::FromInt(5)), u"x5");
    Ref<String> ab = "ab"_s;
    EXPECT_NE(Concat(ab, ""_s), ab) << "a new string even when one side is empty";
    EXPECT_EQ(Text(Chr(0x10041)), u"A");
    EXPECT_EQ(Asc("A"_s), 65);
    EXPECT_EQ(Asc(u"\uffff"_s), 65535);
    EXPECT_EQ(Asc(""_s), -1);
}

TEST(StringConversion, EightBitTextKeepsTheLowByte)
{
    EXPECT_STREQ(u"A\u0141B"_s->ToCString(), "AAB");
    EXPECT_STREQ(""_s->ToCString(), "");
    const char bytes[] = {'\xe9', 'a', '\xff'};
    Ref<String> latin = String::FromBytes(bytes, 3);
    EXPECT_EQ(Text(latin), u"\u00e9a\u00ff");
    EXPECT_EQ(std::string(latin->ToCString()), std::string(bytes, 3)) << "bytes round-trip";
    EXPECT_EQ(std::u16string(u"a\u20acb"_s->ToWString()), u"a\u20acb");
    EXPECT_EQ(WideLength(u"abc"), 3);
    EXPECT_EQ(WideLength(nullptr), 0);
}

TEST(StringConversion, EmptyTextsNeedNoAllocation)
{
    const std::int64_t inUse = MemoryInUse();
    const int level = ReleaseStackLevel();
    EXPECT_EQ(String::FromCString(nullptr).Raw(), EmptyString());
    EXPECT_STREQ(EmptyString()->ToCString(), "");
    EXPECT_EQ(EmptyString()->ToWString()[0], u'\0');
    EXPECT_EQ(MemoryInUse(), inUse);
    EXPECT_EQ(ReleaseStackLevel(), level);
}

TEST(StringConversion, FromIntsAndFromArrayTakeTheLowSixteenBits)
{
    const std::int32_t values[] = {0x10041, 66};
    EXPECT_EQ(Text(String::FromInts(values, 2)), u"AB");
    Ref<Array> bytes = NewArray("b", 2);
    bytes->At<std::uint8_t>(0) = 'h';
    bytes->At<std::uint8_t>(1) = 'i';
    EXPECT_EQ(Text(String::FromArray(bytes)), u"hi");
    Ref<Array> ints = ArrayFromData("i", 2, values);
    EXPECT_EQ(Text(String::FromArray(ints)), u"AB");
    EXPECT_EQ(String::FromArray(NewArray("f", 2)).Raw(), EmptyString());
    EXPECT_EQ(String::FromArray(NewArrayDims("b", {2, 2})).Raw(), EmptyString());
    EXPECT_EQ(String::FromArray(Null).Raw(), EmptyString());
}

TEST(StringObjects, ToStringIsTheStringItselfAndStringsDieAtTheFlush)
{
    Ref<String> text = "abc"_s;
    EXPECT_EQ(text->ToString(), text);
    const std::int64_t inUse = MemoryInUse();
    const int level = ReleaseStackLevel();
    String::FromInt(12345);
    EXPECT_GT(MemoryInUse(), inUse);
    FlushReleaseStack(level);
    EXPECT_EQ(MemoryInUse(), inUse);
}

} // namespace
} // namespace vanta
