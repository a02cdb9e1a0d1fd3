// The section reader of scenarios: any bytes, and every read of what it found.
#include "core/Messages.h"
#include "fuzz/FuzzSupport.h"
#include "scenario/SectionReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    const auto reader = scenario::TSectionReader::FromText(fuzz::AsText(data, size));
    core::THeadlessMessages messages(nullptr);
    for (const char* section : {"Environment", "Side0", "Division0", "Force0"}) {
        reader.ReadString(section, "Name", "X");
        reader.ReadInteger(section, "Course", 12);
        reader.ReadBool(section, "AIControl", false);
        reader.ReadIntegerInRange(section, "Speed", 12, 0, 40, messages);
        reader.ReadIntegerOneOf(section, "Side", 0, {0, 1, 3}, messages);
        reader.WhereGiven(section, "Force");
    }
    reader.Duplicates();
    return 0;
}
