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

// Other control characters than blanks, tabs and line ends are text.
TEST(CStringUtilityTrim, RemovesBlanksTabsAndLineEndsOnTheChosenSide) {
    struct Case {
        std::string text, left, right, both;
    } const cases[] = {
        {" \t\r\nab c\t \n\r", "ab c\t \n\r", " \t\r\nab c", "ab c"},
        {"abc", "abc", "abc", "abc"},
        {"\v\fx\f", "\v\fx\f", "\v\fx\f", "\v\fx\f"},
        {"", "", "", ""},
        {" \t\r\n \n", "", "", ""},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(theStringUtility.TrimLeft(c.text), c.left) << '"' << c.text << '"';
        EXPECT_EQ(theStringUtility.TrimRight(c.text), c.right) << '"' << c.text << '"';
        EXPECT_EQ(theStringUtility.TrimLeftAndRight(c.text), c.both) << '"' << c.text << '"';
    }
}

// The string form strips both ends; the character form shifts past leading
// blanks and tabs only, so a leading line end stays.
TEST(CStringUtilityRemoveWhitespace, StringFormStripsBothEndsCharFormLeadingBlanksAndTabs) {
    struct Case {
        char const* text;
        char const* asString;
        char const* asChars;
    } const cases[] = {
        {" \t\n\r/mnt/usb x\r\n\t ", "/mnt/usb x", "\n\r/mnt/usb x"},
        {" \t /mnt/usb x \t\r\n", "/mnt/usb x", "/mnt/usb x"},
        {"\n/a \r", "/a", "\n/a"},
        {"  \t \n\r ", "", ""},
    };
    for (Case const& c : cases) {
        std::string text = c.text;
        theStringUtility.RemoveWhitespaceFromString(&text);
        EXPECT_EQ(text, c.asString);
        char chars[64];
        std::strcpy(chars, c.text);
        theStringUtility.RemoveWhitespaceFromString(chars);
        EXPECT_STREQ(chars, c.asChars);
    }
    theStringUtility.RemoveWhitespaceFromString(static_cast<std::string*>(nullptr));
    theStringUtility.RemoveWhitespaceFromString(static_cast<char*>(nullptr));
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

// Each row: the direction, the input and the result. Texts end at their
// first zero byte; longer UTF-8 sequences keep the low eight bits of the code
// point; an invalid sequence or a zero low byte ends the result; a stray
// continuation byte is copied as it is.
TEST(CStringUtilityCodePage, ConversionsOfSingleTextsAndTheirLimits) {
    std::string const euro = Bytes({0xE2, 0x82, 0xAC});
    std::string const ae = Bytes({0xC3, 0xA4});
    std::string const yDiaeresis = Bytes({0xC3, 0xBF});
    struct Case {
        bool toUtf8;
        std::string in, out;
    } const cases[] = {
        {true, Bytes({0xE4}), ae},
        {true, Bytes({0x80}), Bytes({0xC2, 0x80})},
        {true, "plain ASCII ~\x7f", "plain ASCII ~\x7f"},
        {true, Bytes({'a', 0xDF, 'b'}), Bytes({'a', 0xC3, 0x9F, 'b'})},
        {true, std::string("ab\0\xe4", 4), "ab"},
        {true, "", ""},
        // ISO input beyond 255 bytes is cut; 255 high bytes fill the output.
        {true, std::string(256, 'a'), std::string(255, 'a')},
        {true, std::string(255, '\xff'), Repeat(yDiaeresis, 255)},
        {true, std::string(1000, '\xff'), Repeat(yDiaeresis, 255)},
        {false, Bytes({'a', 0xE2, 0x82, 0xAC, 'b'}), Bytes({'a', 0xAC, 'b'})},
        {false, Bytes({0xF0, 0x9F, 0x99, 0x82, 'z'}), Bytes({0x42, 'z'})},
        {false, Bytes({'a', 0x80, 0xBF, 'b'}), Bytes({'a', 0x80, 0xBF, 'b'})},
        {false, Bytes({'o', 'k', 0xC3, 'A', 'x'}), "ok"},
        {false, Bytes({'o', 'k', 0xC3}), "ok"},
        {false, Bytes({'o', 'k', 0xE2, 0x82, 'A', 'x'}), "ok"},
        {false, Bytes({'o', 'k', 0xE2, 0x82}), "ok"},
        {false, Bytes({'o', 'k', 0xF0, 0x9F, 'A', 0x82, 'x'}), "ok"},
        {false, Bytes({'o', 'k', 0xF0, 0x9F, 0x99}), "ok"},
        {false, Bytes({'o', 'k', 0xC4, 0x80, 'x'}), "ok"},
        {false, Bytes({'o', 'k', 0xC0, 0x80, 'x'}), "ok"}, // an overlong NUL
        {false, Bytes({'o', 'k', 0xF0, 0x9F, 0x98, 0x80, 'x'}), "ok"},
        {false, std::string("ok\0\xc3\xa4", 5), "ok"},
        // The result is cut after 255 characters, the input after 511 bytes:
        // 170 euro signs are 510 bytes, a 171st is cut after its lead byte.
        {false, std::string(256, 'a'), std::string(255, 'a')},
        {false, Repeat(ae, 300), std::string(255, '\xe4')},
        {false, Repeat(euro, 170) + "AB", std::string(170, '\xac') + "A"},
        {false, Repeat(euro, 171), std::string(170, '\xac')},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(c.toUtf8 ? ToUtf8(c.in) : ToIso(c.in), c.out)
            << (c.toUtf8 ? "to UTF-8: " : "to ISO: ") << c.in.substr(0, 12);
    }
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
