#include "package/windows_case.h"

#include <gtest/gtest.h>

#include "windows_case_table.h"

namespace {

TEST(WindowsCase, FoldsAsTheTableSays) {
    for (const SameNameCase& c : kSameNameCases) {
        EXPECT_EQ(package::CompareNames(c.a, c.b) == 0, c.same) << c.a << " / " << c.b;
        // Sorting needs one order whichever side comes first.
        EXPECT_EQ(package::CompareNames(c.a, c.b), -package::CompareNames(c.b, c.a)) << c.a;
    }
    EXPECT_LT(package::CompareNames("ab", "ABC"), 0);
    EXPECT_GT(package::CompareNames("\xB1", ""), 0);  // a lead byte at the end counts alone
}

}  // namespace
