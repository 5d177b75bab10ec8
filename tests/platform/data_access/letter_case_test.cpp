#include <gtest/gtest.h>

#include <string>

#include "vesk/data_access/letter_case.h"

namespace vesk::data_access {
namespace {

// Pairs that are the same text under the rule, and pairs that users expect to stay apart.
TEST(LetterCase, EqualExactlyUnderSimpleFolding) {
    const char* same[][2] = {
        {"Straße", "STRAßE"}, {"straße", "Straße"}, {"ẞ", "ß"},       {"ÿ", "Ÿ"},
        {"ǅ", "Ǆ"},           {"ǆ", "ǅ"},           {"ΟΔΟΣ", "οδος"}, {"οδος", "οδοσ"},
        {"Élodie", "éLODIE"}, {"ЖЕНЯ", "женя"},     {"I", "i"},       {"ı", "ı"},
        {"K", "k"},           {"Ǆemal", "ǆEMAL"},   {"", ""},         {"O'Brien", "o'brien"},
    };
    for (const auto& pair : same) {
        EXPECT_TRUE(SameIgnoringCase(pair[0], pair[1])) << pair[0] << " / " << pair[1];
        EXPECT_EQ(FoldCase(pair[0]), FoldCase(pair[1])) << pair[0] << " / " << pair[1];
    }
    const char* apart[][2] = {
        {"Straße", "STRASSE"},
        {"Straße", "Strasse"},
        {"i", "ı"},
        {"I", "ı"},
        {"İ", "i"},
        {"İ", "I"},
        {"é", "e\u0301"},
        {"é", "e"},
        {"ß", "ss"},
        {"Str", "Straße"},
    };
    for (const auto& pair : apart) {
        EXPECT_FALSE(SameIgnoringCase(pair[0], pair[1])) << pair[0] << " / " << pair[1];
    }
}

TEST(LetterCase, FoldKeepsOneCodePointForOne) {
    EXPECT_EQ(FoldCase("STRAẞE"), "straße");
    EXPECT_EQ(FoldCase("İSTANBUL"), "İstanbul") << "İ has no simple fold";
    EXPECT_EQ(FoldCodePoint(U'Σ'), U'σ');
    EXPECT_EQ(FoldCodePoint(U'ς'), U'σ');
    EXPECT_EQ(FoldCodePoint(U'\u212A'), U'k') << "the Kelvin sign";
    EXPECT_EQ(FoldCodePoint(U'\U00010400'), U'\U00010428') << "beyond the first plane";
}

TEST(LetterCase, MalformedBytesEqualOnlyThemselves) {
    const std::string lone = "a\xC4";        // a lead byte without its continuation
    const std::string letter = "a\xC3\xA4";  // "aä"
    EXPECT_TRUE(SameIgnoringCase(lone, "A\xC4"));
    EXPECT_FALSE(SameIgnoringCase(lone, letter));
    EXPECT_FALSE(SameIgnoringCase("\xC3", "\xE3"));
    EXPECT_EQ(FoldCase("X\xFFY"), "x\xFFy");
    EXPECT_FALSE(SameIgnoringCase("\xED\xA0\x80", "\xED\xA0\x81")) << "surrogates stay bytes";
}

TEST(LetterCase, OrderIsByFoldedCodePoints) {
    EXPECT_EQ(CompareIgnoringCase("apple", "APPLE"), 0);
    EXPECT_LT(CompareIgnoringCase("Apple", "banana"), 0);
    EXPECT_GT(CompareIgnoringCase("Zebra", "apple"), 0);
    EXPECT_LT(CompareIgnoringCase("abc", "ABCD"), 0) << "a prefix comes first";
    EXPECT_GT(CompareIgnoringCase("Straße", "STRASSE"), 0) << "ß after s";
}

}  // namespace
}  // namespace vesk::data_access
