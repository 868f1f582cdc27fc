#include "engine/codec.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace quorvel {
namespace {

TEST(NameCodec, DecodesUtf8ToCodePoints) {
    EXPECT_EQ(DecodeName("abc"), U"abc");
    EXPECT_EQ(DecodeName("\xC3\xA9t\xC3\xA9"), U"\u00E9t\u00E9");
    EXPECT_EQ(DecodeName("\xE2\x82\xAC"), U"\u20AC");
    EXPECT_EQ(DecodeName("\xF0\x9F\x93\xB7"), U"\U0001F4F7");
}

TEST(NameCodec, EscapesEveryByteOfAnIllFormedSequence) {
    struct Case {
        std::string bytes;
        Text expected;
    };
    // The code point that stands for the byte b of an ill-formed sequence.
    auto esc = [](unsigned b) { return Text(1, static_cast<char32_t>(0xDC00 + b)); };
    const std::vector<Case> cases = {
        {"\xE9t\xE9", esc(0xE9) + U"t" + esc(0xE9)},                         // Latin-1 name
        {"\xC3", esc(0xC3)},                                                 // truncated at the end
        {"\xC3(", esc(0xC3) + U"("},                                         // bad continuation
        {"\xC0\xAF", esc(0xC0) + esc(0xAF)},                                 // overlong "/"
        {"\xED\xB2\x80", esc(0xED) + esc(0xB2) + esc(0x80)},                 // encoded surrogate
        {"\xF4\x90\x80\x80", esc(0xF4) + esc(0x90) + esc(0x80) + esc(0x80)}, // beyond U+10FFFF
        {"\xFF\xFE", esc(0xFF) + esc(0xFE)},
        {std::string("a\0b", 3), Text(U"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeName(c.bytes), c.expected);
        EXPECT_EQ(EncodeName(c.expected), c.bytes);
    }
}

TEST(NameCodec, EveryByteStringRoundTrips) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 40);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(static_cast<std::size_t>(length(random)), '\0');
        for (char& b : bytes) {
            // Bias towards bytes that start or continue multi-byte sequences.
            const int v = byte(random);
            b = static_cast<char>(v < 64 ? 0x80 + v : (v < 128 ? 0xC0 + v % 64 : v));
        }
        ASSERT_EQ(EncodeName(DecodeName(bytes)), bytes);
    }
}

TEST(NameCodec, CodePointsNoNameCanHoldBecomeTheReplacementCharacter) {
    EXPECT_EQ(EncodeName(Text(1, static_cast<char32_t>(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(EncodeName(Text(1, static_cast<char32_t>(0x110000))), "\xEF\xBF\xBD");
}

TEST(Cp1252, DecodesAndEncodesTheWholeCodePage) {
    EXPECT_EQ(DecodeCp1252("\x80\xE9\x9C\x81"), U"\u20AC\u00E9\u0153\u0081");
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const auto back = EncodeCp1252(DecodeCp1252(one));
        ASSERT_TRUE(back.has_value()) << b;
        EXPECT_EQ(*back, one) << b;
    }
    EXPECT_FALSE(EncodeCp1252(U"\u0100").has_value());
    EXPECT_FALSE(EncodeCp1252(U"\U0001F4F7").has_value());
}

TEST(TextFiles, UseUtf8WhenWellFormedAndWindows1252Otherwise) {
    EXPECT_EQ(DecodeTextFile("caract\xC3\xA8res"), U"caract\u00E8res");
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF"
                             "caract\xC3\xA8res"),
              U"caract\u00E8res");
    EXPECT_EQ(DecodeTextFile("caract\xE8res"), U"caract\u00E8res");
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF\xE8"), U"\u00EF\u00BB\u00BF\u00E8");
    EXPECT_EQ(DecodeTextFile(""), U"");
}

} // namespace
} // namespace quorvel
