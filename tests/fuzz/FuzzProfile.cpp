// The profile (INI) reader of designs and preferences: reading, writing back and reading again.
#include "core/ProfileFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    auto profile = core::TProfileFile::FromText(fuzz::AsText(data, size), "fuzz.ini");
    profile.ReadString("Data", "ShipType", "XX");
    profile.ReadInteger("Data", "Displacement", 10000);
    profile.ReadBool("Guns", "CDF", false);
    profile.Duplicates("fuzz.ini");
    for (const std::string& key : profile.ReadSectionKeys("Data")) {
        profile.ReadString("Data", key, "");
    }
    profile.WriteInteger("Data", "Speed", 21);
    profile.WriteString("New section", "Key", "value");
    const auto again = core::TProfileFile::FromText(profile.ToText(), "again.ini");
    if (again.ReadInteger("Data", "Speed", 0) != 21) {
        __builtin_trap(); // a value written must read back
    }
    return 0;
}
