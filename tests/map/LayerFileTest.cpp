#include "map/LayerFile.h"
#include "MapTestSupport.h"
#include "core/Random.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwake::map;
using tarnwake::core::TRandomGenerator;
using tarnwake::testing::ShippedGameDir;
using tarnwake::testing::TTempDir;

namespace {

using TBytes = std::vector<std::uint8_t>;

// Hand-made layer files, little-endian like the real ones.
struct TFileBuilder {
    TBytes bytes;
    TFileBuilder& Byte(int v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    TFileBuilder& Word(int v) { return Byte(v & 0xFF).Byte((v >> 8) & 0xFF); }
    TFileBuilder& Int(std::int64_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        return Word(static_cast<int>(u & 0xFFFF)).Word(static_cast<int>(u >> 16));
    }
    TFileBuilder& Str(const std::string& s) {
        Byte(static_cast<int>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    TFileBuilder& Header(int version) { return Word(version).Int(0).Int(0).Int(0).Int(0); }
    TFileBuilder& Font() { return Int(0x123456).Byte(9).Word(300).Word(45).Byte(2).Str("Arial"); }
};

void ExpectSameObjects(const TGlobeLayer& expected, const TGlobeLayer& actual) {
    ASSERT_EQ(expected.ObjectCount(), actual.ObjectCount());
    for (int i = 0; i < expected.ObjectCount(); ++i) {
        const TGeoDataObject& a = *expected.Objects()[static_cast<std::size_t>(i)];
        const TGeoDataObject& b = *actual.Objects()[static_cast<std::size_t>(i)];
        SCOPED_TRACE("object " + std::to_string(i));
        EXPECT_EQ(a.Closed(), b.Closed());
        EXPECT_EQ(a.Title(), b.Title());
        EXPECT_EQ(a.PresenterID(), b.PresenterID());
        EXPECT_EQ(a.ZoomMin(), b.ZoomMin());
        EXPECT_EQ(a.ZoomMax(), b.ZoomMax());
        EXPECT_EQ(a.DataValue(), b.DataValue());
        ASSERT_EQ(a.ChainCount(), b.ChainCount());
        if (a.ChainCount() == 0) {
            EXPECT_EQ(a.StoredPoint(), b.StoredPoint());
        }
        for (int c = 0; c < a.ChainCount(); ++c) {
            EXPECT_TRUE(a.Chain(c) == b.Chain(c)) << "chain " << c;
        }
    }
}

TGlobePresenter SamplePresenter(TPresenterKind kind, int id, const std::string& name) {
    TGlobePresenter p;
    p.kind = kind;
    p.PresenterID = id;
    p.Name = name;
    p.titleOffset = 400;
    p.titleAlignment = taRight;
    p.titleFont = TGlobeFont{0x808080, TGlobeUnitTypes::Meter, 600, 15, fsItalic, "Times"};
    p.pen = TGlobePen{255, psDash, 3, TGlobeUnitTypes::Meter};
    if (kind != TPresenterKind::Polyline) {
        p.brush = TGlobeBrush{0xFF0000, 0x00FF00, bsFDiagonal};
    } else {
        p.brush = TGlobeBrush{};
    }
    if (kind == TPresenterKind::Point) {
        p.pointType = ppFontSymbol;
        p.pointUnit = TGlobeUnitTypes::Meter;
        p.pointSize = 1500;
        p.maxPointSize = 30;
        p.symbolIndex = 80;
        p.imageName = "flag.bmp";
        p.pointFont = TGlobeFont{255, TGlobeUnitTypes::Pixel, 36, 0, 0, "WingDings"};
    } else {
        // Fields a style of this kind does not store read back as their defaults.
        const TGlobePresenter defaults;
        p.pointType = defaults.pointType;
    }
    return p;
}

// A layer using every part of the format.

void FillFullLayer(TGlobeLayer& layer) {
    layer.AddPresenter(SamplePresenter(TPresenterKind::Point, 7, "Medium Right"));
    layer.AddPresenter(SamplePresenter(TPresenterKind::Polygon, 3, ""));
    layer.AddPresenter(SamplePresenter(TPresenterKind::Polygon, 4, "RedFlagPresenter"));
    layer.AddPresenter(SamplePresenter(TPresenterKind::Polyline, 9, "TrackPresenterRed3"));
    layer.AddPresenter(SamplePresenter(TPresenterKind::Poly, 12, "NewWake"));

    TGeoDataObject& island = layer.Create();
    island.SetClosed(true);
    island.SetTitle("Heligoland");
    island.SetDataValue(-17);
    island.SetZoomRange(5, 500);
    island.SetPresenterID(3);
    island.SetChainPoints(
        0,
        {{42'000'000, 291'000'000, 0}, {42'100'000, 291'000'000, 0}, {42'100'000, 291'100'000, 0}});

    TGeoDataObject& track = layer.Create();
    track.SetPresenterID(9);
    std::vector<TGeoPos> minutes; // whole minutes with steps either side of the byte escape
    for (int i = 0; i < 40; ++i) {
        minutes.push_back({(i * i % 300 - 150) * 90'000, (i * 7 % 256 - 128) * 90'000, 0});
    }
    track.SetChainPoints(0, minutes);
    std::vector<TGeoPos> fine; // globe units with steps either side of the word escape
    for (int i = 0; i < 40; ++i) {
        fine.push_back({-971'999'000 + i * 32'766 + (i % 3) * 2, 1'000 + (i % 5) * 32'767 - i, 0});
    }
    track.SetChainPoints(1, fine);
    track.EnsureChain(3); // chains 2 and 3 empty
    track.AddPoint(3, TGeoPos{972'000'001, -486'000'000, 0});

    TGeoDataObject& report = layer.Create();
    report.SetStoredPoint(TGeoPos{90'000 * 3, 90'000 * 56, 0}); // whole minutes: small
    report.SetPresenterID(7);
    TGeoDataObject& cross = layer.Create();
    cross.SetStoredPoint(TGeoPos{-12'345, 67'890, 0});
    cross.SetPresenterID(65'535);
}

} // namespace

TEST(LayerFile, WriteThenReadGivesTheSameLayer) {
    TGlobeLayer layer("Full");
    FillFullLayer(layer);
    const TBytes bytes = LayerToBytes(layer);
    const TLayerFileResult read = ReadLayerBytes(bytes, "Full.lyr");
    ASSERT_TRUE(read.layer) << read.error;
    EXPECT_TRUE(read.warnings.empty());
    EXPECT_EQ(layer.Presenters(), read.layer->Presenters());
    ExpectSameObjects(layer, *read.layer);
    EXPECT_EQ(bytes, LayerToBytes(*read.layer)) << "writing again gives the same bytes";
}

TEST(LayerFile, ALayerWithStylesAndNoObjectsReadsBackWhole) {
    TGlobeLayer layer("Styles only");
    layer.AddPresenter(SamplePresenter(TPresenterKind::Polygon, 1, "Land"));
    const TLayerFileResult read = ReadLayerBytes(LayerToBytes(layer), "Styles.lyr");
    ASSERT_TRUE(read.layer) << read.error;
    EXPECT_TRUE(read.warnings.empty());
    EXPECT_EQ(layer.Presenters(), read.layer->Presenters());
    EXPECT_EQ(0, read.layer->ObjectCount());
}

TEST(LayerFile, LoadNamesTheLayerAfterTheFile) {
    TTempDir dir;
    TGlobeLayer layer("whatever");
    FillFullLayer(layer);
    std::string error;
    const auto file = dir.Path() / "Jutland.lyr";
    ASSERT_TRUE(WriteLayerFile(layer, file, error)) << error;
    const TLayerFileResult loaded = LoadLayerFile(file);
    ASSERT_TRUE(loaded.layer) << loaded.error;
    EXPECT_EQ("Jutland.lyr", loaded.layer->Name());
    ExpectSameObjects(layer, *loaded.layer);

    const TLayerFileResult missing = LoadLayerFile(dir.Path() / "Dogger.lyr");
    EXPECT_FALSE(missing.layer);
    EXPECT_NE(std::string::npos, missing.error.find("Dogger.lyr"));
}

TEST(LayerFile, ChainsOf65535PointsUseAWordCountAndLongerOnesALongCount) {
    // No styles: the object group follows the header at once, so its flags word is at byte
    // 2 + 16 (header) + 4 (count) + 15 (class name) = 37.
    constexpr std::size_t kFlags = 37;
    for (const int count : {65'535, 65'536}) {
        TGlobeLayer layer("Long");
        std::vector<TGeoPos> points;
        for (int i = 0; i < count; ++i) {
            points.push_back({i * 7, (i % 1000) * 3, 0});
        }
        TGeoDataObject& object = layer.Create();
        object.SetChainPoints(0, points);
        const TBytes bytes = LayerToBytes(layer);
        const bool longCount = (bytes[kFlags] & 0x40) != 0;
        EXPECT_EQ(count > 65'535, longCount) << count;
        const std::size_t countAt = kFlags + 4; // after the flags and presenter words
        if (longCount) {
            EXPECT_EQ(count, bytes[countAt] | bytes[countAt + 1] << 8 | bytes[countAt + 2] << 16 |
                                 bytes[countAt + 3] << 24);
        } else {
            EXPECT_EQ(count, bytes[countAt] | bytes[countAt + 1] << 8);
        }
        const TLayerFileResult read = ReadLayerBytes(bytes, "Long.lyr");
        ASSERT_TRUE(read.layer) << read.error;
        ExpectSameObjects(layer, *read.layer);
    }
}

TEST(LayerFile, StepsTooLargeForADeltaAreEscapedToFullPoints) {
    TGlobeLayer layer("Steps");
    TGeoDataObject& object = layer.Create();
    const auto minute = [](int m) { return m * 90'000; };
    // Whole minutes, so small points; the last step is 127 minutes: the escape value.
    object.SetChainPoints(0, {{0, 0, 0},
                              {minute(1), minute(-128), 0},
                              {minute(2), minute(-127), 0},
                              {minute(129), minute(-127), 0}});
    const TBytes bytes = LayerToBytes(layer);
    // flags (small, delta), presenter, count, first point, two steps, escape and full point.
    const TBytes expectedObject = {0x18, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0x01, 0x80, 0x01, 0x01, 0x7F, 0x81, 0x00, 0x81, 0xFF};
    ASSERT_GE(bytes.size(), 37 + expectedObject.size());
    EXPECT_EQ(expectedObject,
              TBytes(bytes.begin() + 37, bytes.begin() + 37 + expectedObject.size()));
    const TLayerFileResult read = ReadLayerBytes(bytes, "Steps.lyr");
    ASSERT_TRUE(read.layer) << read.error;
    ExpectSameObjects(layer, *read.layer);
}

TEST(LayerFile, ReadsEscapesAndHeightsWrittenByHand) {
    TFileBuilder file;
    file.Header(0x0405).Int(2).Str("TGeoDataObject");
    // Object 1: word-delta chain with heights (bits 2, 4): heights are read and dropped.
    file.Word(0x0014).Word(5).Word(3);
    file.Int(1'000).Int(2'000).Int(77);               // first point
    file.Word(10).Word(0xFFF6).Word(5);               // step (+10, -10, +5)
    file.Word(32'767).Int(-5'000).Int(-6'000).Int(9); // escape: a full point
    // Object 2: small delta chain (bits 3, 4), a single latitude step of 127 minutes, which
    // only the longitude's escape value marks; then a closed flag in the high byte.
    file.Word(0x0118).Word(0).Word(2);
    file.Word(10).Word(20);
    file.Byte(0xFF).Byte(127);
    file.Int(0);
    const TLayerFileResult read = ReadLayerBytes(file.bytes, "Hand.lyr");
    ASSERT_TRUE(read.layer) << read.error;
    ASSERT_EQ(2, read.layer->ObjectCount());
    const TGeoDataObject& first = *read.layer->Objects()[0];
    const std::vector<TGeoPos> expectedFirst = {
        {1'000, 2'000, 0}, {1'010, 1'990, 0}, {-5'000, -6'000, 0}};
    EXPECT_EQ(expectedFirst,
              std::vector<TGeoPos>(first.Chain(0).Points().begin(), first.Chain(0).Points().end()));
    EXPECT_EQ(5, first.PresenterID());
    EXPECT_FALSE(first.Closed());
    const TGeoDataObject& second = *read.layer->Objects()[1];
    EXPECT_TRUE(second.Closed());
    ASSERT_EQ(2, second.Chain(0).Count());
    EXPECT_EQ((TGeoPos{9 * 90'000, 147 * 90'000, 0}), second.Chain(0).Point(1));
}

TEST(LayerFile, AFileWithoutStylesLoadsItsObjects) {
    TFileBuilder file;
    file.Header(0x0300).Int(1).Str("TGeoDataObject").Word(0x0100).Word(0).Word(3);
    file.Int(0).Int(0).Int(100).Int(0).Int(0).Int(100).Int(0);
    const TLayerFileResult read = ReadLayerBytes(file.bytes, "Bare.lyr");
    ASSERT_TRUE(read.layer) << read.error;
    EXPECT_TRUE(read.layer->Presenters().empty());
    ASSERT_EQ(1, read.layer->ObjectCount());
    EXPECT_TRUE(read.layer->Objects()[0]->Closed());
    EXPECT_EQ(3, read.layer->Objects()[0]->Chain(0).Count());
}

TEST(LayerFile, StyleFieldsFollowTheVersion) {
    struct TCase {
        int version;
        std::int32_t titleOffset;
        std::int32_t penWidth;
        TGlobeUnitTypes widthUnit;
        tarnwake::core::TColor background;
    };
    const TCase cases[] = {
        {0x0300, 0, 4, TGlobeUnitTypes::Pixel, 0x00AA00},   // no offset, byte width, one colour
        {0x0350, 220, 4, TGlobeUnitTypes::Pixel, 0x00AA00}, // byte offset
        {0x0400, 220, 4, TGlobeUnitTypes::Meter, 0x00AA00}, // int offset, width with unit
        {0x0405, 220, 4, TGlobeUnitTypes::Meter, 0x0000BB}, // brush background colour
    };
    for (const TCase& c : cases) {
        TFileBuilder file;
        file.Header(c.version).Int(1).Str("TPolygonPresenter");
        file.Int(42);
        if (c.version >= 0x0400) {
            file.Int(220);
        } else if (c.version > 0x0300) {
            file.Byte(220);
        }
        file.Str("SearchAreaPresenter").Byte(1).Font();
        file.Int(0x000011).Byte(psDot);
        if (c.version >= 0x0400) {
            file.Int(4).Byte(static_cast<int>(TGlobeUnitTypes::Meter));
        } else {
            file.Byte(4);
        }
        file.Int(0x00AA00);
        if (c.version >= 0x0405) {
            file.Int(0x0000BB);
        }
        file.Byte(bsFDiagonal);
        file.Int(0);
        const TLayerFileResult read = ReadLayerBytes(file.bytes, "Styles.lyr");
        ASSERT_TRUE(read.layer) << std::hex << c.version << " " << read.error;
        ASSERT_EQ(1u, read.layer->Presenters().size());
        const TGlobePresenter& p = read.layer->Presenters()[0];
        SCOPED_TRACE(c.version);
        EXPECT_EQ(42, p.PresenterID);
        EXPECT_EQ("SearchAreaPresenter", p.Name);
        EXPECT_EQ(c.titleOffset, p.titleOffset);
        EXPECT_EQ(taRight, p.titleAlignment);
        EXPECT_EQ(300, p.titleFont.size);
        EXPECT_EQ(45, p.titleFont.angle);
        EXPECT_EQ("Arial", p.titleFont.name);
        EXPECT_EQ(psDot, p.pen.style);
        EXPECT_EQ(c.penWidth, p.pen.width);
        EXPECT_EQ(c.widthUnit, p.pen.widthUnit);
        EXPECT_EQ(0x00AA00, p.brush.colour);
        EXPECT_EQ(c.background, p.brush.backColour);
        EXPECT_EQ(bsFDiagonal, p.brush.style);
    }
}

TEST(LayerFile, DamagedFilesFailWithAMessageNamingTheFile) {
    const auto objectGroup = [](TFileBuilder& f) -> TFileBuilder& {
        return f.Int(1).Str("TGeoDataObject");
    };
    struct TCase {
        const char* what;
        TBytes bytes;
        const char* message;
    };
    std::vector<TCase> cases;
    {
        TFileBuilder f;
        f.Header(0x02FF);
        cases.push_back({"old version", f.bytes, "Invalid File Version 2FF in Bad.lyr"});
    }
    {
        TFileBuilder f;
        f.Byte(0x04);
        cases.push_back({"ends in the version", f.bytes, "ends too early"});
    }
    {
        TFileBuilder f;
        f.Header(0x0405).Int(0x7FFFFFFF).Str("TGeoDataObject").Word(0);
        cases.push_back({"absurd object count", f.bytes, "impossible object count 2147483647"});
    }
    {
        TFileBuilder f;
        f.Header(0x0405).Int(-3).Int(-3);
        cases.push_back({"negative object count", f.bytes, "impossible object count -3"});
    }
    {
        TFileBuilder f;
        objectGroup(f.Header(0x0405)).Word(0x0040).Word(0).Int(0x7FFFFFFF).Int(0).Int(0);
        cases.push_back({"absurd long point count", f.bytes, "impossible point count"});
    }
    {
        TFileBuilder f;
        objectGroup(f.Header(0x0405)).Word(0x0040).Word(0).Int(-1);
        cases.push_back({"negative point count", f.bytes, "negative point count"});
    }
    {
        TFileBuilder f;
        objectGroup(f.Header(0x0405)).Word(0x0400).Word(0).Word(0xFFFF).Word(0);
        cases.push_back({"absurd chain count", f.bytes, "impossible chain count"});
    }
    {
        TFileBuilder f;
        objectGroup(f.Header(0x0405)).Word(0x0001).Byte(200).Str("short");
        cases.push_back({"title length past the end", f.bytes, "ends too early, in a title"});
    }
    {
        TFileBuilder f;
        f.Header(0x0405).Int(1).Str("TBitmapObject").Word(0);
        cases.push_back(
            {"unknown object class", f.bytes, "class \"TBitmapObject\" cannot be read"});
    }
    {
        TFileBuilder f;
        objectGroup(f.Header(0x0405)).Word(0x0020).Word(0).Int(0).Int(500'000'000).Int(0);
        cases.push_back({"position past the pole", f.bytes, "beyond the poles"});
    }
    {
        TFileBuilder f;
        objectGroup(f.Header(0x0405)).Word(0x0000).Word(0).Word(3).Int(0).Int(0).Int(5);
        cases.push_back({"too few bytes for the points", f.bytes, "impossible point count 3"});
    }
    {
        // Delta steps are small, so the count passes; the escaped full point is cut.
        TFileBuilder f;
        objectGroup(f.Header(0x0405)).Word(0x0010).Word(0).Word(3).Int(0).Int(0);
        f.Word(1).Word(1).Word(32'767).Int(5);
        cases.push_back({"escaped point cut short", f.bytes, "ends too early, in a point"});
    }
    for (const TCase& c : cases) {
        const TLayerFileResult read = ReadLayerBytes(c.bytes, "Bad.lyr");
        EXPECT_FALSE(read.layer) << c.what;
        EXPECT_NE(std::string::npos, read.error.find("Bad.lyr")) << c.what << ": " << read.error;
        EXPECT_NE(std::string::npos, read.error.find(c.message)) << c.what << ": " << read.error;
    }
}

TEST(LayerFile, AFileEndingInsideItsStylesKeepsTheStylesRead) {
    TGlobeLayer layer("Styles");
    layer.AddPresenter(SamplePresenter(TPresenterKind::Polygon, 1, "A"));
    layer.AddPresenter(SamplePresenter(TPresenterKind::Polygon, 2, "B"));
    TBytes bytes = LayerToBytes(layer);
    bytes.resize(bytes.size() - 10); // into the second style
    const TLayerFileResult read = ReadLayerBytes(bytes, "Cut.lyr");
    ASSERT_TRUE(read.layer) << read.error;
    ASSERT_EQ(1u, read.layer->Presenters().size());
    EXPECT_EQ("A", read.layer->Presenters()[0].Name);
    ASSERT_EQ(1u, read.warnings.size());
    EXPECT_NE(std::string::npos, read.warnings[0].find("Cut.lyr"));
}

// Every cut and thousands of seeded mutations of a valid file: the reader answers a layer
// or a message, never crashes, never reads outside the bytes (the sanitizer builds check
// that) and never keeps a position off the globe.
TEST(LayerFile, SurvivesTruncationAndMutation) {
    TGlobeLayer layer("Fuzz");
    FillFullLayer(layer);
    const TBytes valid = LayerToBytes(layer);
    const auto check = [](const TBytes& bytes, const std::string& what) {
        const TLayerFileResult read = ReadLayerBytes(bytes, "Fuzz.lyr");
        if (!read.layer) {
            EXPECT_NE(std::string::npos, read.error.find("Fuzz.lyr")) << what << ": " << read.error;
            return;
        }
        for (const TGeoDataObject* object : read.layer->Objects()) {
            for (int c = 0; c < object->ChainCount(); ++c) {
                for (const TGeoPos& p : object->Chain(c).Points()) {
                    ASSERT_LE(std::abs(std::int64_t{p.lat}), kMaxLatitude) << what;
                    ASSERT_LE(std::abs(std::int64_t{p.lon}), kMaxLongitude) << what;
                }
            }
        }
    };
    for (std::size_t cut = 0; cut < valid.size(); ++cut) {
        check(TBytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(cut)),
              "cut at " + std::to_string(cut));
    }
    TRandomGenerator random(20'250'531);
    const std::uint32_t extremes[] = {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu,
                                      0x0000FFFFu, 0x00010000u, 0};
    const int size = static_cast<int>(valid.size());
    for (int round = 0; round < 20'000; ++round) {
        TBytes bytes = valid;
        const int edits = 1 + random.Random(4);
        for (int e = 0; e < edits; ++e) {
            const auto at = static_cast<std::size_t>(random.Random(static_cast<int>(bytes.size())));
            switch (random.Random(5)) {
            case 0:
                bytes[at] = static_cast<std::uint8_t>(random.Random(256));
                break;
            case 1:
                bytes[at] ^= static_cast<std::uint8_t>(1u << random.Random(8));
                break;
            case 2: {
                const std::uint32_t v = extremes[random.Random(6)];
                for (std::size_t k = 0; k < 4 && at + k < bytes.size(); ++k) {
                    bytes[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
                }
                break;
            }
            case 3:
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             static_cast<std::uint8_t>(random.Random(256)));
                break;
            default:
                if (bytes.size() > 1) {
                    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
                }
                break;
            }
        }
        if (random.Random(4) == 0) {
            bytes.resize(static_cast<std::size_t>(random.Random(size)));
        }
        check(bytes, "round " + std::to_string(round));
    }
}

TEST(LayerFile, EveryShippedLayerSurvivesARoundTrip) {
    for (const char* name : {"NorthSea.lyr", "Falklands.lyr", "Coronel.lyr", "Adriatic.lyr"}) {
        SCOPED_TRACE(name);
        const TLayerFileResult shipped = LoadLayerFile(ShippedGameDir() / "Scenarios" / name);
        ASSERT_TRUE(shipped.layer) << shipped.error;
        EXPECT_TRUE(shipped.warnings.empty());
        EXPECT_GT(shipped.layer->ObjectCount(), 0);
        for (const TGeoDataObject* object : shipped.layer->Objects()) {
            ASSERT_TRUE(object->Closed()) << "coast layers hold land areas";
            ASSERT_GE(object->Chain(0).Count(), 3);
        }
        const TBytes bytes = LayerToBytes(*shipped.layer);
        const TLayerFileResult again = ReadLayerBytes(bytes, name);
        ASSERT_TRUE(again.layer) << again.error;
        ExpectSameObjects(*shipped.layer, *again.layer);
    }
}

TEST(LayerFile, TheWriterRefusesWhatTheFormatCannotHold) {
    TGlobeLayer layer("Too much");
    layer.Create().SetTitle(std::string(256, 'x'));
    EXPECT_THROW(LayerToBytes(layer), std::invalid_argument);
    TGlobeLayer numbers("Numbers");
    numbers.Create().SetPresenterID(70'000);
    EXPECT_THROW(LayerToBytes(numbers), std::invalid_argument);
    TTempDir dir;
    std::string error;
    EXPECT_FALSE(WriteLayerFile(numbers, dir.Path() / "x.lyr", error));
    EXPECT_NE(std::string::npos, error.find("x.lyr"));
}
