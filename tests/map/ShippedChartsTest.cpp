#include "core/Messages.h"
#include "map/EnvironmentFile.h"
#include "map/Globe.h"
#include "map/LayerFile.h"
#include "map/PositionText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

using namespace tarnwake::map;
using tarnwake::core::THeadlessMessages;
using tarnwake::testing::FixturesDir;
using tarnwake::testing::ShippedGameDir;
using tarnwake::testing::TTempDir;

namespace {

const char* const kAreas[] = {"NorthSea", "Falklands", "Coronel", "Adriatic"};

TGeoPos FromDegrees(double lon, double lat) {
    return TGeoPos{static_cast<std::int32_t>(std::llround(lon * 5'400'000.0)),
                   static_cast<std::int32_t>(std::llround(lat * 5'400'000.0)), 0};
}

} // namespace

// The fixtures are random points of each area with GMT's own land/sea answer from the
// GSHHG shorelines the layers were made from ("gmt select -Ns/k/k/k/k"); see
// data/Scenarios/README.md. Only islets under 0.05 km2, left out of the layers, may differ.
TEST(ShippedCharts, LandTestAgreesWithGmtOnTheFixturePoints) {
    for (const char* area : kAreas) {
        SCOPED_TRACE(area);
        TGlobe globe;
        THeadlessMessages messages(nullptr);
        ASSERT_TRUE(LoadEnvironmentFile(
            globe, ShippedGameDir() / "Scenarios" / (std::string(area) + ".env"), messages));
        EXPECT_TRUE(messages.Shown().empty());
        ASSERT_TRUE(globe.SetLandLayer(1, std::string(area) + ".lyr"));

        std::ifstream in(FixturesDir() / "map" / (std::string(area) + "-gmt-points.txt"));
        ASSERT_TRUE(in) << "fixture missing";
        std::string line;
        int total = 0;
        int agree = 0;
        int land = 0;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            double lon = 0;
            double lat = 0;
            int expected = -1;
            ASSERT_TRUE(fields >> lon >> lat >> expected) << line;
            ++total;
            land += expected;
            const bool isLand = globe.IsOnLand(FromDegrees(lon, lat));
            if (isLand == (expected == 1)) {
                ++agree;
            } else {
                ADD_FAILURE() << "differs from GMT at " << line;
            }
        }
        EXPECT_GE(total, 400);
        EXPECT_GT(land, 0);
        EXPECT_LT(land, total);
        EXPECT_GE(agree * 1000, total * 998) << agree << " of " << total;
        EXPECT_FALSE(globe.NoLandFlag());
    }
}

TEST(ShippedCharts, EnvironmentFilesNameTheirLayerAndView) {
    for (const char* area : kAreas) {
        SCOPED_TRACE(area);
        THeadlessMessages messages(nullptr);
        const auto environment = ReadEnvironmentFile(
            ShippedGameDir() / "Scenarios" / (std::string(area) + ".env"), messages);
        ASSERT_TRUE(environment);
        EXPECT_TRUE(messages.Shown().empty());
        ASSERT_EQ(1u, environment->layers.size());
        EXPECT_EQ(std::string(area) + ".lyr", environment->layers[0].file);
        ASSERT_TRUE(environment->centre.has_value());
        EXPECT_GT(environment->zoom, 100.0);
        // The view starts at sea, inside the layer's area.
        TGlobe globe;
        ASSERT_TRUE(LoadEnvironmentFile(
            globe, ShippedGameDir() / "Scenarios" / (std::string(area) + ".env"), messages));
        TGlobeLayer* layer = globe.FindLayer(std::string(area) + ".lyr");
        ASSERT_NE(nullptr, layer);
        EXPECT_EQ(*environment->centre, globe.ViewCentre);
        bool inside = false;
        for (const TGeoDataObject* object : layer->Objects()) {
            const TGeoRect& r = object->BoundingRect();
            inside = inside || (globe.ViewCentre.lon > r.left && globe.ViewCentre.lon < r.Right());
        }
        EXPECT_TRUE(inside);
    }
}

TEST(EnvironmentFile, LoadsTheListedLayersAndReportsTheRest) {
    TTempDir dir;
    std::string error;
    std::filesystem::create_directories(dir.Path() / "maps");
    TGlobeLayer coast("x");
    coast.Create().SetClosed(true);
    ASSERT_TRUE(WriteLayerFile(coast, dir.Path() / "maps" / "Coast.lyr", error)) << error;
    ASSERT_TRUE(WriteLayerFile(coast, dir.Path() / "maps" / "Shoals.lyr", error)) << error;
    dir.Write("maps/Broken.lyr", std::string("\x01\x02", 2));
    const auto envFile =
        dir.Write("maps/Test.env", "[Chart]\r\nCentre=43000E 56N\r\nZoom=lots\r\n"
                                   "[Layers]\r\nLayer1=coast.LYR\r\nLayer2=Missing.lyr\r\n"
                                   "Layer3=Broken.lyr\r\nLayer4=Shoals.lyr\r\nLayer4Visible=0\r\n"
                                   "Layer6=Coast.lyr\r\n");
    TGlobe globe;
    globe.ViewCentre = TGeoPos{1, 2, 0};
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(LoadEnvironmentFile(globe, envFile, messages));
    // Found without regard to case and named after the file found; Layer6 is past the gap.
    ASSERT_EQ(2, globe.LayerCount());
    EXPECT_EQ("Coast.lyr", globe.Layer(0).Name());
    EXPECT_TRUE(globe.Layer(0).Visible);
    EXPECT_EQ("Shoals.lyr", globe.Layer(1).Name());
    EXPECT_FALSE(globe.Layer(1).Visible);
    EXPECT_EQ(envFile.string(), globe.EnvironmentFile);
    EXPECT_EQ((TGeoPos{1, 2, 0}), globe.ViewCentre)
        << "a centre that cannot be read changes nothing";
    const auto texts = messages.Texts();
    ASSERT_EQ(4u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("Error reading position!")) << texts[0];
    EXPECT_NE(std::string::npos, texts[1].find("Test.env")) << texts[1];
    EXPECT_NE(std::string::npos, texts[2].find("Missing.lyr")) << texts[2];
    EXPECT_NE(std::string::npos, texts[3].find("Broken.lyr")) << texts[3];

    // Loading again replaces the layers of the same names instead of adding copies.
    THeadlessMessages again(nullptr);
    ASSERT_TRUE(LoadEnvironmentFile(globe, envFile, again));
    EXPECT_EQ(2, globe.LayerCount());

    THeadlessMessages missing(nullptr);
    EXPECT_FALSE(LoadEnvironmentFile(globe, dir.Path() / "Nowhere.env", missing));
    ASSERT_EQ(1u, missing.Texts().size());
    EXPECT_EQ("Cannot find Environment file: " + (dir.Path() / "Nowhere.env").string(),
              missing.Texts()[0]);
}
