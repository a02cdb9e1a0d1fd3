// The four weapon tables: the first byte picks the table the rest of the input replaces; the
// other three are the shipped ones.
#include "designs/WeaponTables.h"
#include "fuzz/FuzzSupport.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    static constexpr std::array<const char*, 4> kTables = {"VPen.dat", "HPen.dat", "Gundata.dat",
                                                           "Torpedodata.dat"};
    if (size == 0) {
        return 0;
    }
    const auto dir = fuzz::ScratchDir() / "Data";
    std::filesystem::create_directories(dir);
    for (const char* table : kTables) {
        std::filesystem::copy_file(fuzz::GameDir() / "Data" / table, dir / table,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    fuzz::WriteBytes(dir / kTables[data[0] % kTables.size()], data + 1, size - 1);
    core::THeadlessMessages messages(nullptr);
    designs::TWeaponTables tables;
    tables.Load(fuzz::ScratchDir(), messages);
    for (int calibre = 0; calibre <= 20; ++calibre) {
        tables.PenetrationValue(calibre, 12000, calibre % 2 == 0);
    }
    tables.TorpedoDataFor("X");
    return 0;
}
