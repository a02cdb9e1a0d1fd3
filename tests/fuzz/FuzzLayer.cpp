// The binary layer file of the charts: read, and written back when it reads.
#include "fuzz/FuzzSupport.h"
#include "map/LayerFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    const auto result = map::ReadLayerBytes({data, size}, "fuzz.lyr");
    if (result.layer) {
        map::LayerToBytes(*result.layer);
    }
    return 0;
}
