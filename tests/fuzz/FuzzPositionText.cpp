// The position text of scenarios ("44000E 535500N"): what reads writes back to the same point.
#include "core/Messages.h"
#include "fuzz/FuzzSupport.h"
#include "map/PositionText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    core::THeadlessMessages messages(nullptr);
    map::TGeoPos p;
    if (map::TextToPosition(fuzz::AsText(data, size), "fuzz", true, messages, p)) {
        map::TGeoPos again;
        if (!map::TextToPosition(map::PositionToText(p), "again", false, messages, again)) {
            __builtin_trap(); // a position written must read back
        }
    }
    if (size >= sizeof(std::int64_t)) {
        std::int64_t value = 0;
        __builtin_memcpy(&value, data, sizeof value);
        map::FormatAngle(value, "%d%m%s%E");
        map::FormatAngle(value, "%d %m");
    }
    return 0;
}
