// A whole scenario loaded and started on the shipped designs and charts.
#include "engine/GameWorld.h"
#include "fuzz/FuzzSupport.h"
#include "scenario/GameStart.h"
#include "scenario/ScenarioLoader.h"
#include "scenario/SectionReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwake;
    static core::THeadlessMessages messages(nullptr);
    static core::TSilentSound sound;
    messages.Clear();
    engine::TGameWorld world(messages, sound,
                             core::TGameFolders(fuzz::GameDir(), fuzz::ScratchDir() / "user"));
    world.Seed(1);
    const auto reader = scenario::TSectionReader::FromText(fuzz::AsText(data, size));
    scenario::LoadScenario(world, reader);
    return 0;
}
