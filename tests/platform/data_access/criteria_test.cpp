#include <gtest/gtest.h>

#include "criteria.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {
namespace {

bool MeetsText(std::string_view criteria, const Variant& value) {
    return Meets(ParseCriteria(criteria).at(0), value);
}

TEST(Criteria, TextComparesIgnoringCaseAcrossScripts) {
    EXPECT_TRUE(MeetsText("Code='emp1'", Variant("EMP1")));
    EXPECT_TRUE(MeetsText("Code='ÉLODIE'", Variant("élodie")));
    EXPECT_TRUE(MeetsText("Code='ЖЕНЯ'", Variant("женя")));
    EXPECT_FALSE(MeetsText("Code='EMP1'", Variant("EMP10")));
    EXPECT_TRUE(MeetsText("[Photo Code] <> 'x'", Variant("y")));
}

TEST(Criteria, DoubledQuotesStandForOneQuote) {
    auto terms = ParseCriteria("Code='O''BRIEN' AND Group = 'A'");
    ASSERT_EQ(terms.size(), 2u);
    EXPECT_EQ(terms[0].value, Variant("O'BRIEN"));
    EXPECT_EQ(terms[1].column, "Group");
}

TEST(Criteria, NumbersBooleansDatesAndNull) {
    EXPECT_TRUE(MeetsText("Seq = 3", Variant(3)));
    EXPECT_TRUE(MeetsText("Seq >= -2.5", Variant(-2.5)));
    EXPECT_FALSE(MeetsText("Seq < 3", Variant(3)));
    EXPECT_TRUE(MeetsText("DefaultPhoto = True", Variant(true)));
    EXPECT_TRUE(MeetsText("DefaultPhoto = False", Variant(false)));
    EXPECT_TRUE(MeetsText("Taken = #2024-01-31#", Variant(DateTime{2024, 1, 31})));
    EXPECT_TRUE(MeetsText("Taken IS NULL", Variant::Null()));
    EXPECT_FALSE(MeetsText("Taken = NULL", Variant("x")));
    EXPECT_TRUE(MeetsText("Taken IS NOT NULL", Variant("x")));
    EXPECT_FALSE(MeetsText("Code = 'x'", Variant::Null()));
}

TEST(Criteria, MalformedCriteriaAreRefused) {
    for (const char* bad : {"", "Code", "Code =", "Code = 'x' AND", "Code = 'x' OR B = 'y'",
                            "'x' = Code", "Code < NULL", "Code LIKE 'x*'"}) {
        EXPECT_THROW(ParseCriteria(bad), DataAccessError) << bad;
    }
}

}  // namespace
}  // namespace vesk::data_access::detail
