#include "map/EnvironmentFile.h"

#include "core/Folders.h"
#include "core/Messages.h"
#include "core/ProfileFile.h"
#include "core/Text.h"
#include "map/Globe.h"
#include "map/LayerFile.h"
#include "map/PositionText.h"

#include <system_error>

namespace tarnwake::map {

std::optional<TEnvironment> ReadEnvironmentFile(const std::filesystem::path& file,
                                                core::IMessages& messages) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        messages.Error("Cannot find Environment file: " + file.string());
        return std::nullopt;
    }
    const core::TProfileFile profile(file);
    if (!profile.LoadError().empty()) {
        messages.Error(profile.LoadError());
        return std::nullopt;
    }
    TEnvironment environment;
    if (const auto centreText = profile.Find("Chart", "Centre")) {
        TGeoPos centre;
        if (TextToPosition(*centreText, "Chart centre in " + file.string(), true, messages,
                           centre)) {
            environment.centre = centre;
        }
    }
    if (const auto zoomText = profile.Find("Chart", "Zoom")) {
        const auto zoom = core::ParseReal(core::TrimView(*zoomText));
        if (zoom && *zoom >= 0.0) {
            environment.zoom = *zoom;
        } else {
            messages.Warn("Warning! Environment file " + file.string() + ": the chart zoom \"" +
                          *zoomText + "\" is not a distance in nautical miles.");
        }
    }
    for (int n = 1; n <= kMaxEnvironmentLayers; ++n) {
        const std::string key = "Layer" + std::to_string(n);
        const auto name = profile.Find("Layers", key);
        if (!name || core::TrimView(*name).empty()) {
            break;
        }
        environment.layers.push_back(
            {core::Trim(*name), profile.ReadBool("Layers", key + "Visible", true)});
    }
    return environment;
}

bool LoadEnvironmentFile(TGlobe& globe, const std::filesystem::path& file,
                         core::IMessages& messages) {
    const auto environment = ReadEnvironmentFile(file, messages);
    if (!environment) {
        return false;
    }
    const std::filesystem::path folder = file.parent_path();
    for (const TEnvironmentLayer& entry : environment->layers) {
        const auto path = core::FindFileNoCase(folder, entry.file);
        if (!path) {
            messages.Error("Cannot find layer file " + (folder / entry.file).string() +
                           " named by " + file.string());
            continue;
        }
        TLayerFileResult loaded = LoadLayerFile(*path);
        for (const std::string& warning : loaded.warnings) {
            messages.Warn("Warning! " + warning);
        }
        if (!loaded.layer) {
            messages.Error(loaded.error);
            continue;
        }
        loaded.layer->Visible = entry.visible;
        if (TGlobeLayer* old = globe.FindLayer(loaded.layer->Name())) {
            globe.RemoveLayer(old);
        }
        globe.AddLayer(std::move(loaded.layer));
    }
    if (environment->centre) {
        globe.ViewCentre = *environment->centre;
    }
    globe.ViewZoom = environment->zoom;
    globe.EnvironmentFile = file.string();
    return true;
}

} // namespace tarnwake::map
