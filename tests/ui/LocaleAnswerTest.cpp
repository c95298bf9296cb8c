// Run once per locale by CTest, which sets the locale variables for the
// process and names the separator that locale gives in VELTO_TEST_DECIMAL
// ("comma", "point", "momayyez", the Arabic decimal separator, or "none"
// where the locale is not installed). What the window writes with it is the
// conformance suite's.
#include "DecimalSeparator.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <string_view>

TEST(LocaleAnswer, TheUsersDecimalSeparatorComesFromTheNumericLocale)
{
    const std::map<std::string_view, std::u16string> separators = {
        {"comma", u","}, {"point", u"."}, {"momayyez", u"\u066B"}, {"none", u""}};
    const char *decimal = std::getenv("VELTO_TEST_DECIMAL");
    const auto separator = separators.find(decimal ? decimal : "");
    ASSERT_NE(separator, separators.end()) << "run this test through CTest";
    EXPECT_EQ(userDecimalSeparators().user, separator->second);
}
