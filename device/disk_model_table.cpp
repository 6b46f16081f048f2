#include "device/disk_model_table.h"

#include <array>

namespace tolven {

namespace {

constexpr std::array<DiskModelEntry, 7> kRows = {{
    {u"MAXTOR_S", u"TM40215A", u"VQ10"},
    {u"MAXTOR_S", u"T980215A", u"VQ10"},
    {u"SAMSUNG", u"MP0402H", u"VQ10"},
    {u"ST940815", u"A", u"VQ10"},
    {u"ST980815", u"A", u"VQ10"},
    {u"ST9120821", u"A", u"VQ10"},
    {u"TOSHIBA", u"MK2006GAL", u"VQ20"},
}};

}  // namespace

std::span<const DiskModelEntry> DiskModelTable() {
    return kRows;
}

bool LookupDiskModel(std::u16string& vendor, std::u16string& model) {
    for (const DiskModelEntry& row : kRows) {
        if (vendor != row.diskVendor) {
            continue;
        }
        if (model != row.diskProduct) {
            continue;
        }
        vendor = kDiskModelVendor;
        model = row.modelCode;
        return true;
    }
    return false;
}

}  // namespace tolven
