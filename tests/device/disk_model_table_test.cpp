#include "device/disk_model_table.h"

#include <gtest/gtest.h>

namespace tolven {
namespace {

struct LookupCase {
    const char* name;
    std::u16string vendor;
    std::u16string model;
    bool matches;
    std::u16string vendorAfter;
    std::u16string modelAfter;
};

TEST(LookupDiskModelTest, MatchesWholeExactPairsOnly) {
    const LookupCase cases[] = {
        // Every row.
        {"row 1", u"MAXTOR_S", u"TM40215A", true, u"Tolven", u"VQ10"},
        {"row 2", u"MAXTOR_S", u"T980215A", true, u"Tolven", u"VQ10"},
        {"row 3", u"SAMSUNG", u"MP0402H", true, u"Tolven", u"VQ10"},
        {"row 4", u"ST940815", u"A", true, u"Tolven", u"VQ10"},
        {"row 5", u"ST980815", u"A", true, u"Tolven", u"VQ10"},
        {"row 6", u"ST9120821", u"A", true, u"Tolven", u"VQ10"},
        {"row 7", u"TOSHIBA", u"MK2006GAL", true, u"Tolven", u"VQ20"},
        // Near misses leave both texts alone.
        {"mixed-case vendor", u"Samsung", u"MP0402H", false, u"Samsung", u"MP0402H"},
        {"lower-case product", u"TOSHIBA", u"mk2006gal", false, u"TOSHIBA", u"mk2006gal"},
        {"empty product", u"ST9120821", u"", false, u"ST9120821", u""},
        {"known vendor, unknown product", u"MAXTOR_S", u"XYZ", false, u"MAXTOR_S", u"XYZ"},
        {"vendor with the blank not yet converted", u"MAXTOR S", u"TM40215A", false, u"MAXTOR S",
         u"TM40215A"},
        {"vendor with a trailing blank", u"SAMSUNG ", u"MP0402H", false, u"SAMSUNG ", u"MP0402H"},
        {"product of one row with vendor of another", u"SAMSUNG", u"A", false, u"SAMSUNG", u"A"},
        {"product longer than the row's", u"ST940815", u"AB", false, u"ST940815", u"AB"},
        {"the player's own vendor", u"TOLVEN", u"VQ30", false, u"TOLVEN", u"VQ30"},
        {"the substituted vendor is no row", u"Tolven", u"VQ10", false, u"Tolven", u"VQ10"},
        {"both empty", u"", u"", false, u"", u""},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string vendor = c.vendor;
        std::u16string model = c.model;
        EXPECT_EQ(LookupDiskModel(vendor, model), c.matches);
        EXPECT_EQ(vendor, c.vendorAfter);
        EXPECT_EQ(model, c.modelAfter);
    }
}

}  // namespace
}  // namespace tolven
