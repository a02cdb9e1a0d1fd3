// The environment (.env) file of a chart; the layers it names are looked for beside it.
#include "fuzz/FuzzSupport.h"
#include "map/EnvironmentFile.h"
#include "map/Globe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    const auto env = fuzz::ScratchDir() / "Fuzzed.env";
    fuzz::WriteBytes(env, data, size);
    core::THeadlessMessages messages(nullptr);
    map::TGlobe globe;
    map::LoadEnvironmentFile(globe, env, messages);
    return 0;
}
