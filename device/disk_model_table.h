// The hard-disk identifications that mark a player. Some players report the identification of
// their internal disk instead of their own vendor name; the table maps those disks to the player
// model that carries them.
#pragma once

#include <span>
#include <string>

namespace tolven {

// One row: the disk's vendor and product text as the drive scan produces them (a blank inside
// the vendor has already become '_', trailing blanks are gone), and the player model code.
struct DiskModelEntry {
    const char16_t* diskVendor;
    const char16_t* diskProduct;
    const char16_t* modelCode;
};

// The rows in search order. Constant for the life of the program.
std::span<const DiskModelEntry> DiskModelTable();

// The vendor text a matched drive gets; the scan upper-cases it afterwards.
inline constexpr char16_t kDiskModelVendor[] = u"Tolven";

// Looks the pair up (whole, exact, case-sensitive; vendor before product, first row wins). On a
// match sets vendor to "Tolven" and model to the row's model code and returns true; otherwise
// leaves both unchanged and returns false.
bool LookupDiskModel(std::u16string& vendor, std::u16string& model);

}  // namespace tolven
