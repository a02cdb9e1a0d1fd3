// The nations table, whole and line by line, for a year of the war.
#include "designs/NationsTable.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    const auto text = fuzz::AsText(data, size);
    designs::ParseNationLine(text.substr(0, text.find('\n')), 1916);
    fuzz::WriteBytes(fuzz::ScratchDir() / "Data" / "Nations.dat", data, size);
    core::THeadlessMessages messages(nullptr);
    designs::TNationsTable nations;
    nations.Load(fuzz::ScratchDir() / "Data", 1916, messages);
    return 0;
}
