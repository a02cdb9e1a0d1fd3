// tarnwake-lyr: makes and checks the chart's coast layer files.
//
//   tarnwake-lyr build --box W/E/S/N --output FILE.lyr [--input DUMP] [--min-island KM2]
//       reads a GMT "coast -M" shoreline dump (standard input unless --input) and writes
//       the closed land areas as a layer file
//   tarnwake-lyr dump FILE.lyr
//       prints the layer as text
//   tarnwake-lyr contains FILE.lyr
//       reads "longitude latitude" lines (decimal degrees) and prints 1 for land, 0 for sea,
//       with the game's own land test
//   tarnwake-lyr points --box W/E/S/N --count N --seed S
//       prints N random "longitude latitude" lines spread evenly over the box
//   tarnwake-lyr check FILE.lyr
//       reads "longitude latitude expected" lines and prints how often the layer agrees

#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/Text.h"
#include "map/CoastlineBuilder.h"
#include "map/Globe.h"
#include "map/LandIndex.h"
#include "map/LayerFile.h"
#include "map/PositionText.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tarnwake;

int Usage() {
    std::cerr << "usage: tarnwake-lyr build --box W/E/S/N --output FILE [--input DUMP] "
                 "[--min-island KM2]\n"
                 "       tarnwake-lyr dump FILE\n"
                 "       tarnwake-lyr contains FILE   (stdin: \"lon lat\" lines)\n"
                 "       tarnwake-lyr points --box W/E/S/N --count N --seed S\n"
                 "       tarnwake-lyr check FILE      (stdin: \"lon lat expected\" lines)\n";
    return 2;
}

std::optional<map::TCoastBox> ParseBox(const std::string& text) {
    std::vector<double> values;
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, '/')) {
        const auto v = core::ParseReal(part);
        if (!v) {
            return std::nullopt;
        }
        values.push_back(*v);
    }
    if (values.size() != 4 || values[0] >= values[1] || values[2] >= values[3]) {
        return std::nullopt;
    }
    return map::TCoastBox{values[0], values[1], values[2], values[3]};
}

std::unique_ptr<map::TGlobeLayer> LoadOrExplain(const std::string& file) {
    map::TLayerFileResult result = map::LoadLayerFile(file);
    for (const auto& warning : result.warnings) {
        std::cerr << "warning: " << warning << "\n";
    }
    if (!result.layer) {
        std::cerr << result.error << "\n";
    }
    return std::move(result.layer);
}

map::TGeoPos FromDegrees(double lon, double lat) {
    return map::TGeoPos{map::WrapLongitude(core::Round(lon * map::kGlobeUnitsPerDegree)),
                        static_cast<std::int32_t>(core::Round(lat * map::kGlobeUnitsPerDegree)), 0};
}

// Reads "lon lat [rest]" from one line; false when the line is not that.
bool ParsePointLine(const std::string& line, double& lon, double& lat, std::string& rest) {
    std::istringstream in(line);
    std::string lonText;
    std::string latText;
    if (!(in >> lonText >> latText)) {
        return false;
    }
    const auto x = core::ParseReal(lonText);
    const auto y = core::ParseReal(latText);
    if (!x || !y || *y < -90.0 || *y > 90.0) {
        return false;
    }
    lon = *x;
    lat = *y;
    std::getline(in, rest);
    rest = core::Trim(rest);
    return true;
}

int Build(const std::vector<std::string>& args) {
    std::optional<map::TCoastBox> box;
    std::string input;
    std::string output;
    map::TCoastOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (i + 1 >= args.size()) {
            return Usage();
        }
        const std::string& value = args[++i];
        if (arg == "--box") {
            box = ParseBox(value);
        } else if (arg == "--input") {
            input = value;
        } else if (arg == "--output") {
            output = value;
        } else if (arg == "--min-island") {
            const auto v = core::ParseReal(value);
            if (!v) {
                return Usage();
            }
            options.minIslandKm2 = *v;
        } else {
            return Usage();
        }
    }
    if (!box || output.empty()) {
        return Usage();
    }
    std::vector<map::TCoastPiece> pieces;
    std::string error;
    bool read = false;
    if (input.empty()) {
        read = map::ReadGmtSegments(std::cin, pieces, error);
    } else {
        std::ifstream in(input);
        if (!in) {
            std::cerr << "cannot open " << input << "\n";
            return 1;
        }
        read = map::ReadGmtSegments(in, pieces, error);
    }
    if (!read) {
        std::cerr << (input.empty() ? "standard input" : input) << ": " << error << "\n";
        return 1;
    }
    map::TGlobeLayer layer(output);
    const map::TCoastReport report = map::BuildCoastline(pieces, *box, options, layer);
    for (const auto& problem : report.problems) {
        std::cerr << "warning: " << problem << "\n";
    }
    if (!map::WriteLayerFile(layer, output, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    std::cerr << output << ": " << report.piecesRead << " pieces (" << report.pointsRead
              << " points) -> " << report.polygons << " areas, " << report.points << " points; "
              << report.islandsDropped << " islands under " << options.minIslandKm2 << " km2 and "
              << report.spikePointsDropped << " spike points dropped\n";
    return 0;
}

int Dump(const std::string& file) {
    const auto layer = LoadOrExplain(file);
    if (!layer) {
        return 1;
    }
    std::size_t points = 0;
    for (const auto* object : layer->Objects()) {
        for (int c = 0; c < object->ChainCount(); ++c) {
            points += static_cast<std::size_t>(object->Chain(c).Count());
        }
    }
    std::printf("layer %s: %d presenters, %d objects, %zu points\n", layer->Name().c_str(),
                static_cast<int>(layer->Presenters().size()), layer->ObjectCount(), points);
    for (const auto& p : layer->Presenters()) {
        std::printf("presenter %d \"%s\" %s\n", p.PresenterID, p.Name.c_str(),
                    std::string(map::PresenterClassName(p.kind)).c_str());
    }
    int index = 0;
    for (const auto* object : layer->Objects()) {
        std::printf("object %d %s presenter %d chains %d title \"%s\"\n", index++,
                    object->Closed() ? "closed" : "open", object->PresenterID(),
                    object->ChainCount(), object->Title().c_str());
        if (object->ChainCount() == 0) {
            std::printf("  point %s\n", map::PositionToText(object->StoredPoint()).c_str());
        }
        for (int c = 0; c < object->ChainCount(); ++c) {
            std::printf("  chain %d: %d points\n", c, object->Chain(c).Count());
            for (const auto& p : object->Chain(c).Points()) {
                std::printf("    %.7f %.7f\n",
                            static_cast<double>(p.lon) / map::kGlobeUnitsPerDegree,
                            static_cast<double>(p.lat) / map::kGlobeUnitsPerDegree);
            }
        }
    }
    return 0;
}

// Answers lines from standard input with the land test; `check` compares with a third column.
int Contains(const std::string& file, bool check) {
    auto layer = LoadOrExplain(file);
    if (!layer) {
        return 1;
    }
    map::TGlobe globe;
    map::TGlobeLayer& land = globe.AddLayer(std::move(layer));
    globe.SetLandLayer(1, &land);
    land.BuildAreaIndex();
    std::string line;
    std::size_t lineNumber = 0;
    std::size_t total = 0;
    std::size_t agree = 0;
    std::size_t landPoints = 0;
    while (std::getline(std::cin, line)) {
        ++lineNumber;
        if (core::TrimView(line).empty()) {
            continue;
        }
        double lon = 0;
        double lat = 0;
        std::string rest;
        if (!ParsePointLine(line, lon, lat, rest)) {
            std::cerr << "standard input, line " << lineNumber
                      << ": not \"longitude latitude\": " << line << "\n";
            return 1;
        }
        const bool isLand = globe.IsOnLand(FromDegrees(lon, lat));
        if (!check) {
            std::fputs(isLand ? "1\n" : "0\n", stdout);
            continue;
        }
        if (rest != "0" && rest != "1") {
            std::cerr << "standard input, line " << lineNumber << ": no expected 0 or 1: " << line
                      << "\n";
            return 1;
        }
        ++total;
        landPoints += (rest == "1") ? 1 : 0;
        if (isLand == (rest == "1")) {
            ++agree;
        } else {
            std::printf("differs: %s (layer says %s)\n", line.c_str(), isLand ? "land" : "sea");
        }
    }
    if (check) {
        std::printf("%s: %zu of %zu points agree (%.3f%%), %zu expected on land\n", file.c_str(),
                    agree, total, total == 0 ? 100.0 : 100.0 * static_cast<double>(agree) / total,
                    landPoints);
    }
    return 0;
}

int Points(const std::vector<std::string>& args) {
    std::optional<map::TCoastBox> box;
    std::optional<std::int32_t> count;
    std::optional<std::int32_t> seed;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--box") {
            box = ParseBox(args[i + 1]);
        } else if (args[i] == "--count") {
            count = core::ParseInteger(args[i + 1]);
        } else if (args[i] == "--seed") {
            seed = core::ParseInteger(args[i + 1]);
        } else {
            return Usage();
        }
    }
    if (!box || !count || !seed || *count < 0) {
        return Usage();
    }
    core::TRandomGenerator random(static_cast<std::uint64_t>(*seed));
    for (std::int32_t i = 0; i < *count; ++i) {
        const double lon = box->west + random.RandomFloat() * (box->east - box->west);
        const double lat = box->south + random.RandomFloat() * (box->north - box->south);
        std::printf("%.6f %.6f\n", lon, lat);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return Usage();
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "build") {
        return Build(rest);
    }
    if (command == "dump" && rest.size() == 1) {
        return Dump(rest[0]);
    }
    if (command == "contains" && rest.size() == 1) {
        return Contains(rest[0], false);
    }
    if (command == "check" && rest.size() == 1) {
        return Contains(rest[0], true);
    }
    if (command == "points") {
        return Points(rest);
    }
    return Usage();
}
