#include "app/store/name_rules.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(NameRules, FilterHasItsFifteenFragmentsAndIgnoresCase) {
    NameFilter filter;
    EXPECT_EQ(filter.FragmentCount(), 15u);
    EXPECT_TRUE(filter.Allows(u"Shift layer")); // "shift" is not "shit"
    EXPECT_FALSE(filter.Allows(u"BullSHIT"));
    EXPECT_FALSE(filter.Allows(u"\u50bb\u903c"));
    EXPECT_TRUE(filter.Allows(u"\u4e2d\u6587\u914d\u7f6e"));
    EXPECT_EQ(LowerCase(u"\u00c9CLAIR\u00d7"), u"\u00e9clair\u00d7");
}

TEST(NameRules, UniqueListName) {
    EXPECT_EQ(UniqueListName(u"Macro", {}), u"Macro 1");
    EXPECT_EQ(UniqueListName(u"Macro", {u"Macro 1", u"Macro 3"}), u"Macro 2");
    EXPECT_EQ(UniqueListName(u"Macro", {u"macro 1"}), u"Macro 1"); // exact comparison
    std::vector<std::u16string> all;
    for (int n = 1; n <= 1000; ++n) {
        std::string d = std::to_string(n);
        all.push_back(u"M " + std::u16string(d.begin(), d.end()));
    }
    EXPECT_EQ(UniqueListName(u"M", all), u"M 1000");
}

} // namespace
} // namespace vantrel
