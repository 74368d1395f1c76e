#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "util/CStringUtility.h"

namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Repeat(std::string const& piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::string ToUtf8(std::string const& iso) {
    return theStringUtility.ConvertIso8859StringToUtf8String(iso, TRACE_NONE);
}

std::string ToIso(std::string const& utf8) {
    return theStringUtility.ConvertUtf8StringToIso8859String(utf8);
}

TEST(CStringUtilityTrim, RemovesBlanksTabsAndLineEndsOnTheChosenSide) {
    std::string const text = " \t\r\nab c\t \n\r";
    EXPECT_EQ(theStringUtility.TrimLeft(text), "ab c\t \n\r");
    EXPECT_EQ(theStringUtility.TrimRight(text), " \t\r\nab c");
    EXPECT_EQ(theStringUtility.TrimLeftAndRight(text), "ab c");
    EXPECT_EQ(theStringUtility.TrimLeftAndRight("abc"), "abc");
    // Other control characters are text.
    EXPECT_EQ(theStringUtility.TrimLeftAndRight("\v\fx\f"), "\v\fx\f");
}

TEST(CStringUtilityTrim, WhitespaceOnlyAndEmptyGiveEmpty) {
    for (std::string const text : {"", " ", "\t", " \t\r\n \n", "\n\n\n"}) {
        EXPECT_EQ(theStringUtility.TrimLeft(text), "") << '"' << text << '"';
        EXPECT_EQ(theStringUtility.TrimRight(text), "") << '"' << text << '"';
        EXPECT_EQ(theStringUtility.TrimLeftAndRight(text), "") << '"' << text << '"';
    }
}

TEST(CStringUtilityRemoveWhitespace, StringFormStripsBothEndsInPlace) {
    std::string text = " \t\n\r/mnt/usb x\r\n\t ";
    theStringUtility.RemoveWhitespaceFromString(&text);
    EXPECT_EQ(text, "/mnt/usb x");
    text = " \r\n\t";
    theStringUtility.RemoveWhitespaceFromString(&text);
    EXPECT_EQ(text, "");
    theStringUtility.RemoveWhitespaceFromString(static_cast<std::string*>(nullptr));
}

TEST(CStringUtilityRemoveWhitespace, CharFormShiftsPastLeadingBlanksAndTabsOnly) {
    char text[] = " \t /mnt/usb x \t\r\n";
    theStringUtility.RemoveWhitespaceFromString(text);
    EXPECT_STREQ(text, "/mnt/usb x");

    // A leading line end is not stripped by the character form.
    char lineEndFirst[] = "\n/a \r";
    theStringUtility.RemoveWhitespaceFromString(lineEndFirst);
    EXPECT_STREQ(lineEndFirst, "\n/a");

    char blanks[] = "  \t \n\r ";
    theStringUtility.RemoveWhitespaceFromString(blanks);
    EXPECT_STREQ(blanks, "");
    theStringUtility.RemoveWhitespaceFromString(static_cast<char*>(nullptr));
}

TEST(CStringUtilityCodePage, IsoToUtf8EncodesHighBytesAsTwoBytes) {
    EXPECT_EQ(ToUtf8(Bytes({0xE4})), Bytes({0xC3, 0xA4}));
    EXPECT_EQ(ToUtf8(Bytes({0x80})), Bytes({0xC2, 0x80}));
    EXPECT_EQ(ToUtf8(Bytes({0xFF})), Bytes({0xC3, 0xBF}));
    EXPECT_EQ(ToUtf8("plain ASCII ~\x7f"), "plain ASCII ~\x7f");
    EXPECT_EQ(ToUtf8(Bytes({'a', 0xDF, 'b'})), Bytes({'a', 0xC3, 0x9F, 'b'}));
    // The text ends at its first zero byte.
    EXPECT_EQ(ToUtf8(std::string("ab\0\xe4", 4)), "ab");
    EXPECT_EQ(ToUtf8(""), "");
}

TEST(CStringUtilityCodePage, EveryByteValueRoundTrips) {
    for (int value = 1; value < 256; ++value) {
        std::string const iso(1, static_cast<char>(value));
        std::string const utf8 = ToUtf8(iso);
        EXPECT_EQ(utf8.size(), value < 0x80 ? 1u : 2u) << value;
        EXPECT_EQ(ToIso(utf8), iso) << value;
    }
    // All of them in one text: 255 bytes, the longest input converted whole.
    std::string all;
    for (int value = 1; value < 256; ++value) {
        all += static_cast<char>(value);
    }
    std::string const utf8 = ToUtf8(all);
    EXPECT_EQ(utf8.size(), 127u + 2u * 128u);
    EXPECT_EQ(ToIso(utf8), all);
}

TEST(CStringUtilityCodePage, LongerSequencesKeepTheLowEightBitsOfTheCodePoint) {
    // U+20AC (euro sign): low byte 0xAC.
    EXPECT_EQ(ToIso(Bytes({'a', 0xE2, 0x82, 0xAC, 'b'})), Bytes({'a', 0xAC, 'b'}));
    // U+1F642: low byte 0x42.
    EXPECT_EQ(ToIso(Bytes({0xF0, 0x9F, 0x99, 0x82, 'z'})), Bytes({0x42, 'z'}));
    // A stray continuation byte is copied as it is.
    EXPECT_EQ(ToIso(Bytes({'a', 0x80, 0xBF, 'b'})), Bytes({'a', 0x80, 0xBF, 'b'}));
}

TEST(CStringUtilityCodePage, InvalidSequenceOrZeroLowByteEndsTheResult) {
    // Lead byte followed by ASCII, or by the end of the text.
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xC3, 'A', 'x'})), "ok");
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xC3})), "ok");
    // Three- and four-byte sequences need every continuation byte.
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xE2, 0x82, 'A', 'x'})), "ok");
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xE2, 0x82})), "ok");
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xF0, 0x9F, 'A', 0x82, 'x'})), "ok");
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xF0, 0x9F, 0x99})), "ok");
    // U+0100 and U+1F600 have 0 as their low byte.
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xC4, 0x80, 'x'})), "ok");
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xC0, 0x80, 'x'})), "ok"); // an overlong NUL
    EXPECT_EQ(ToIso(Bytes({'o', 'k', 0xF0, 0x9F, 0x98, 0x80, 'x'})), "ok");
    // The input's own zero byte ends it too.
    EXPECT_EQ(ToIso(std::string("ok\0\xc3\xa4", 5)), "ok");
}

TEST(CStringUtilityCodePage, IsoInputBeyond255BytesIsCut) {
    EXPECT_EQ(ToUtf8(std::string(255, 'a')), std::string(255, 'a'));
    EXPECT_EQ(ToUtf8(std::string(256, 'a')), std::string(255, 'a'));
    // 255 high bytes fill the 510-byte output exactly; more are cut.
    std::string const twoBytes = Bytes({0xC3, 0xBF});
    EXPECT_EQ(ToUtf8(std::string(255, '\xff')), Repeat(twoBytes, 255));
    EXPECT_EQ(ToUtf8(std::string(1000, '\xff')), Repeat(twoBytes, 255));
}

TEST(CStringUtilityCodePage, Utf8ResultBeyond255CharactersIsCut) {
    EXPECT_EQ(ToIso(std::string(255, 'a')), std::string(255, 'a'));
    EXPECT_EQ(ToIso(std::string(256, 'a')), std::string(255, 'a'));
    EXPECT_EQ(ToIso(std::string(2000, 'a')), std::string(255, 'a'));
    std::string const twoBytes = Bytes({0xC3, 0xA4});
    EXPECT_EQ(ToIso(Repeat(twoBytes, 255)), std::string(255, '\xe4'));
    EXPECT_EQ(ToIso(Repeat(twoBytes, 300)), std::string(255, '\xe4'));
}

TEST(CStringUtilityCodePage, Utf8InputBeyond511BytesIsCut) {
    // 170 euro signs are 510 bytes, so a 511th byte still counts...
    std::string const euro = Bytes({0xE2, 0x82, 0xAC});
    EXPECT_EQ(ToIso(Repeat(euro, 170) + "A"), std::string(170, '\xac') + "A");
    EXPECT_EQ(ToIso(Repeat(euro, 170) + "AB"), std::string(170, '\xac') + "A");
    // ...and a 171st euro sign, cut after its lead byte, ends the result.
    EXPECT_EQ(ToIso(Repeat(euro, 171)), std::string(170, '\xac'));
    EXPECT_EQ(ToIso(Repeat(euro, 400)), std::string(170, '\xac'));
}

// Octal and hexadecimal show the 32-bit pattern; any other base is decimal.
TEST(CStringUtilityIntToString, FormatsInTheChosenBase) {
    struct Case {
        int value;
        numBase_t base;
        char const* text;
    } const cases[] = {
        {255, NUM_BASE_HEXADECIMAL, "0xff"},
        {255, NUM_BASE_OCTAL, "o377"},
        {255, NUM_BASE_DECIMAL, "255"},
        {255, static_cast<numBase_t>(0), "255"},
        {0, NUM_BASE_HEXADECIMAL, "0x0"},
        {0, NUM_BASE_OCTAL, "o0"},
        {-1, NUM_BASE_HEXADECIMAL, "0xffffffff"},
        {-1, NUM_BASE_OCTAL, "o37777777777"},
        {-1, NUM_BASE_DECIMAL, "-1"},
        {INT_MIN, NUM_BASE_HEXADECIMAL, "0x80000000"},
        {INT_MIN, static_cast<numBase_t>(10), "-2147483648"},
        {INT_MAX, NUM_BASE_OCTAL, "o17777777777"},
    };
    for (Case const& c : cases) {
        std::string out = "left over";
        theStringUtility.IntToString(c.value, out, c.base);
        EXPECT_EQ(out, c.text) << c.value << " base " << c.base;
    }
}

} // namespace
