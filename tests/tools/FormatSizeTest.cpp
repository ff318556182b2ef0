// Sizes as the cells show them: decimal units, cut and never rounded,
// digit groups set apart by blanks, true in every unit however large.

#include <gtest/gtest.h>

#include "tools/DirectoryItems.h"

namespace tabulon {
namespace {

struct SizeCase {
    std::string digits;
    int unit;
    std::string raw;  // what FormatSize gives
};

TEST(FormatSize, FollowsTheUnitTable) {
    const SizeCase cases[] = {
        {"0", 0, "0"},
        {"0", 1, "0"},
        {"0", 2, "0"},
        // Mb
        {"99999", 0, "<0.1"},
        {"150000", 0, "0.1"},
        {"456789", 0, "0.4"},
        {"1999999", 0, " 1"},
        {"4194304", 0, " 4"},
        {"1234567", 0, " 1"},
        {"123456789012", 0, "123 456"},
        {"1234567890123", 0, "1234567"},
        // kb
        {"99", 1, "<0.1"},
        {"999", 1, "0.9"},
        {"1234567", 1, "1 234"},
        {"4194304", 1, "4 194"},
        {"1234567890", 1, "1 234 567"},
        {"1234567890123", 1, "1234567890"},
        // b, and a radio index of -1
        {"12", 2, " 12"},
        {"4194304", 2, "4 194 304"},
        {"1234567", -1, "1 234 567"},
        {"3221225472", 2, "3 221 225 472"},
        {"1234567890123", 2, "1234567890123"},
    };
    for (const SizeCase& c : cases) EXPECT_EQ(FormatSize(c.digits, c.unit), c.raw) << c.digits << " in unit " << c.unit;
}

TEST(FormatSize, LargeSizesStayPositiveInEveryUnit) {
    // 3 GiB and 2^63: a 32-bit count would have turned both negative.
    EXPECT_EQ(FormatSize("3221225472", 0), "3 221");
    EXPECT_EQ(FormatSize("3221225472", 1), "3 221 225");
    EXPECT_EQ(FormatSize(std::to_string(std::uint64_t{1} << 63), 2), "9223372036854775808");
}

}  // namespace
}  // namespace tabulon
