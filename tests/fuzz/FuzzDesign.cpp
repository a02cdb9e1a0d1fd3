// A design file as a modder might damage it.
#include "designs/DesignFile.h"
#include "designs/NationsTable.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    const auto file = fuzz::ScratchDir() / "Designs" / "Fuzzed.sdf";
    fuzz::WriteBytes(file, data, size);
    core::THeadlessMessages messages(nullptr);
    designs::Tship ship;
    designs::LoadDesignFile(file, ship, designs::kHighestNationIndex, messages);
    return 0;
}
