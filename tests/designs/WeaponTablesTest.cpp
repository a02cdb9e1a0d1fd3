#include "designs/WeaponTables.h"

#include "core/Random.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tarnwake::designs;
using tarnwake::core::THeadlessMessages;
using tarnwake::core::TRandomGenerator;
using tarnwake::core::TScriptedRandom;
using tarnwake::testing::TTempDir;

namespace {

// Plays back a script like TScriptedRandom and records the bound of every draw, so a test
// can see which ranges the rule drew from.
class TRecordingRandom : public TRandomGenerator {
public:
    explicit TRecordingRandom(std::vector<int> script) : TRandomGenerator(0), script_(script) {}
    int Random(int n) override {
        bounds.push_back(n);
        const int value = next_ < script_.size() ? script_[next_++] : 0;
        return n <= 0 ? 0 : std::min(std::max(value, 0), n - 1);
    }
    std::vector<int> bounds;

private:
    std::vector<int> script_;
    std::size_t next_ = 0;
};

constexpr int kAlwaysTop = 1 << 30; // a scripted draw clamped to n - 1: the largest value

// Every element of the row its own number: 1000 + index, so a lookup shows which it read.
TGunRow NumberedRow() {
    TGunRow row;
    for (int i = 0; i < kPenetrationValues; ++i) {
        row.Penetration[static_cast<std::size_t>(i)] = 1000 + i;
    }
    return row;
}

TGunRow UniformRow(int value) {
    TGunRow row;
    row.Penetration.fill(value);
    return row;
}

// The largest penetration a shell can reach with the top draw: the smallest armour (in
// tenths) it fails against, less one tenth.
bool PenetratesTopDraw(const TWeaponTables& tables, int year, int calibre, int range, int quality,
                       bool horizontal, double armour) {
    auto top = TScriptedRandom::Repeating({kAlwaysTop});
    return tables.Penetrates(top, year, calibre, range, quality, horizontal, armour);
}

// A gun table file: header, then one line per calibre 3..18 whose fields are
// "<calibre>\tname\t<base + calibre>\t<base + calibre + k>..." for the given count of lines.
std::string GunFile(int lines, int base, int fields) {
    std::string text = "Calibre\tGun\tValues\n";
    for (int i = 0; i < lines; ++i) {
        const int calibre = kMinCalibre + i;
        text += std::to_string(calibre) + "\tgun " + std::to_string(calibre);
        for (int f = 3; f <= fields; ++f) {
            text += "\t" + std::to_string(base + calibre * 100 + f);
        }
        text += "\n";
    }
    return text;
}

std::string TorpedoFile(int lines) {
    std::string text = "Name\tTorpedo\tWarhead\tFast range\tFast speed\tSlow range\tSlow speed\n";
    for (int i = 1; i <= lines; ++i) {
        text += "T" + std::to_string(i) + "\tType " + std::to_string(i) + "\t" +
                std::to_string(200 + i) + "\t" + std::to_string(30 + i) + "\t" +
                std::to_string(40 + i) + "\t" + std::to_string(90 + i) + "\t" +
                std::to_string(20 + i) + "\n";
    }
    return text;
}

// A complete, well-formed set of the four tables in `dir`/Data.
void WriteTables(const TTempDir& dir) {
    dir.Write("Data/VPen.dat", GunFile(kCalibreCount, 0, 33));
    dir.Write("Data/HPen.dat", GunFile(kCalibreCount, 50000, 33));
    dir.Write("Data/Gundata.dat", GunFile(kCalibreCount, 90000, 4));
    dir.Write("Data/Torpedodata.dat", TorpedoFile(9));
}

// Loads a complete set of tables whose torpedo file is `torpedoes`; answers what Load answers.
bool LoadWithTorpedoes(const std::string& torpedoes, TWeaponTables& tables,
                       THeadlessMessages& messages) {
    TTempDir dir;
    WriteTables(dir);
    dir.Write("Data/Torpedodata.dat", torpedoes);
    return tables.Load(dir.Path(), messages);
}

} // namespace

// ---- Looking up the table value ----------------------------------------------------------

struct TLookupCase {
    int range;
    bool horizontal;
    int element; // which of the 61 values is read
};

class PenetrationLookup : public ::testing::TestWithParam<TLookupCase> {};

TEST_P(PenetrationLookup, ReadsTheElementOfTheRange) {
    const TLookupCase c = GetParam();
    TWeaponTables tables;
    tables.SetRow(12, NumberedRow());
    EXPECT_EQ(1000 + c.element, tables.PenetrationValue(12, c.range, c.horizontal))
        << c.range << (c.horizontal ? " deck" : " belt");
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, PenetrationLookup,
    ::testing::Values(TLookupCase{9999, false, 9},    // still the 9 thousand yards value
                      TLookupCase{10000, false, 10},  // the 10 thousand yards value
                      TLookupCase{9999, true, 39},    // deck at 9
                      TLookupCase{10000, true, 40},   // deck at 10
                      TLookupCase{999, false, 1},     // under 1,000 yards: as at 1,000,
                      TLookupCase{0, false, 1},       // never the effective range
                      TLookupCase{999, true, 31},     // nor the belt at 30 thousand
                      TLookupCase{1000, true, 31},    // deck at 1
                      TLookupCase{30999, false, 30},  // the last range of the table
                      TLookupCase{30999, true, 60},   //
                      TLookupCase{31000, false, 30},  // past the table: held at 30 thousand
                      TLookupCase{31000, true, 60},   // never past DeckPen 30
                      TLookupCase{33000, true, 60},   // a good gun's 110% of 30 thousand
                      TLookupCase{2000000, true, 60}, //
                      TLookupCase{-1500, false, 1},   // nonsense ranges read as 1,000
                      TLookupCase{-1500, true, 31}));

TEST(WeaponTables, CalibresWithoutARowReadZeroAndNeverPenetrateArmour) {
    TWeaponTables tables;
    for (int calibre = kMinCalibre; calibre <= kMaxCalibre; ++calibre) {
        tables.SetRow(calibre, UniformRow(500));
    }
    for (int calibre : {-1, 0, 2, 19, 40}) {
        EXPECT_EQ(nullptr, tables.Row(calibre));
        EXPECT_EQ(0, tables.PenetrationValue(calibre, 5000, false));
        EXPECT_EQ(0, tables.MaxRange(calibre));
        EXPECT_EQ(0, tables.EffectiveRange(calibre));
        EXPECT_FALSE(PenetratesTopDraw(tables, 1914, calibre, 5000, 0, false, 0.5));
    }
}

// ---- The penetration test ----------------------------------------------------------------

TEST(Penetration, AValueOfOneNeverPenetratesArmourAndNoArmourIsAlwaysPenetrated) {
    TWeaponTables tables;
    tables.SetRow(4, UniformRow(1));
    for (int draw : {0, kAlwaysTop}) {
        auto random = TScriptedRandom::Repeating({draw});
        EXPECT_FALSE(tables.Penetrates(random, 1914, 4, 3000, 0, false, 0.5));
        EXPECT_FALSE(tables.Penetrates(random, 1914, 4, 3000, 0, true, 1));
        EXPECT_TRUE(tables.Penetrates(random, 1914, 4, 3000, 0, false, 0));
    }
    // A calibre whose table was never read (all 0) still goes through unarmoured plating.
    auto random = TScriptedRandom::Repeating({0});
    EXPECT_TRUE(tables.Penetrates(random, 1914, 9, 3000, 0, true, 0));
    EXPECT_FALSE(tables.Penetrates(random, 1914, 9, 3000, 0, true, 0.1));
}

TEST(Penetration, DrawsBetweenHalfAndAllOfTheValue) {
    TWeaponTables tables;
    tables.SetRow(12, UniformRow(101));
    TRecordingRandom low({0});
    // 101 div 2 = 50: the lowest draw gives 50, penetrating 5 inches but not 5.1.
    EXPECT_TRUE(tables.Penetrates(low, 1914, 12, 10000, 0, false, 5.0));
    EXPECT_EQ((std::vector<int>{51}), low.bounds);
    TRecordingRandom low2({0});
    EXPECT_FALSE(tables.Penetrates(low2, 1914, 12, 10000, 0, false, 5.1));
    // The highest gives 100 (not 101).
    EXPECT_TRUE(PenetratesTopDraw(tables, 1914, 12, 10000, 0, false, 10.0));
    EXPECT_FALSE(PenetratesTopDraw(tables, 1914, 12, 10000, 0, false, 10.1));
}

struct TQualityCase {
    int quality;
    bool horizontal;
    int expected; // the value after gun quality, as reached by the top draw
};

class GunQuality : public ::testing::TestWithParam<TQualityCase> {};

TEST_P(GunQuality, ScalesVerticalPenetrationOnly) {
    const TQualityCase c = GetParam();
    TWeaponTables tables;
    tables.SetRow(12, UniformRow(100));
    const double limit = c.expected / 10.0;
    EXPECT_TRUE(PenetratesTopDraw(tables, 1914, 12, 12000, c.quality, c.horizontal, limit));
    EXPECT_FALSE(PenetratesTopDraw(tables, 1914, 12, 12000, c.quality, c.horizontal, limit + 0.1));
}

INSTANTIATE_TEST_SUITE_P(Qualities, GunQuality,
                         ::testing::Values(TQualityCase{3, false, 110}, // any good gun: x 1.1
                                           TQualityCase{1, false, 110}, TQualityCase{0, false, 100},
                                           TQualityCase{-1, false, 90},
                                           TQualityCase{-3, false, 70}, // x 0.7
                                           TQualityCase{3, true, 100},  // decks: no effect
                                           TQualityCase{-3, true, 100}));

TEST(Penetration, A1909ScenarioTurnsAHundredInto80To99) {
    TWeaponTables tables;
    tables.SetRow(12, UniformRow(100));
    // The first draw (0..50) makes 100; the second is Random(20) added to 80.
    TRecordingRandom lowest({50, 0});
    EXPECT_TRUE(tables.Penetrates(lowest, 1909, 12, 10000, 0, false, 8.0));
    EXPECT_EQ((std::vector<int>{51, 20}), lowest.bounds);
    TRecordingRandom lowest2({50, 0});
    EXPECT_FALSE(tables.Penetrates(lowest2, 1909, 12, 10000, 0, false, 8.1));

    TRecordingRandom highest({50, 19});
    EXPECT_TRUE(tables.Penetrates(highest, 1909, 12, 10000, 0, false, 9.9));
    TRecordingRandom highest2({50, 19});
    EXPECT_FALSE(tables.Penetrates(highest2, 1909, 12, 10000, 0, false, 10.0));

    // From 1910 there is no second draw: 100 stays 100.
    TRecordingRandom from1910({50, 0});
    EXPECT_TRUE(tables.Penetrates(from1910, 1910, 12, 10000, 0, false, 10.0));
    EXPECT_EQ((std::vector<int>{51}), from1910.bounds);
}

TEST(Penetration, AbsurdTableValuesNeitherOverflowNorCrash) {
    TWeaponTables tables;
    tables.SetRow(18, UniformRow(2147483647));
    tables.SetRow(17, UniformRow(-2147483647 - 1));
    EXPECT_TRUE(PenetratesTopDraw(tables, 1905, 18, 5000, 3, false, 100000.0));
    EXPECT_FALSE(PenetratesTopDraw(tables, 1905, 17, 5000, -3, false, 0.1));
}

// ---- Torpedo data ------------------------------------------------------------------------

TEST(TorpedoData, BuiltInDataIsTheWartimeStandard) {
    const TTorpedoType builtIn = BuiltInTorpedoData();
    EXPECT_EQ("", builtIn.Name);
    EXPECT_EQ(37, builtIn.FastSpeed);
    EXPECT_EQ(27, builtIn.SlowSpeed);
    EXPECT_EQ(4300, builtIn.FastRange);
    EXPECT_EQ(10100, builtIn.SlowRange);
    EXPECT_EQ(1000, builtIn.Column3Value);
}

TEST(TorpedoData, MatchesTheDesignationExactlyAndTakesTheFirstMatch) {
    std::string torpedoes = TorpedoFile(9);
    // A second "T2" in slot 5: the first one found wins.
    torpedoes.replace(torpedoes.find("T5\t"), 2, "T2");
    TWeaponTables tables;
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(LoadWithTorpedoes(torpedoes, tables, messages));

    const TTorpedoType t2 = tables.TorpedoDataFor("T2");
    EXPECT_EQ("T2", t2.Name);
    EXPECT_EQ(202, t2.Column3Value);
    EXPECT_EQ(3200, t2.FastRange); // hundreds of yards in the file
    EXPECT_EQ(42, t2.FastSpeed);
    EXPECT_EQ(9200, t2.SlowRange);
    EXPECT_EQ(22, t2.SlowSpeed);
    EXPECT_EQ(&tables.Torpedoes()[2], tables.FindTorpedo("T2"));

    // Case matters; an unknown or empty designation keeps the built-in data (slot 0 is
    // empty and must not match an empty designation).
    for (const char* other : {"t2", "T2 ", "T10", ""}) {
        EXPECT_EQ(nullptr, tables.FindTorpedo(other)) << '"' << other << '"';
        EXPECT_EQ(4300, tables.TorpedoDataFor(other).FastRange) << '"' << other << '"';
    }
}

TEST(TorpedoData, CalibreFromItsColumnOrEighteenInches) {
    // Column 8, the calibre, is the last: a line without it would otherwise answer its slow
    // speed. A calibre no torpedo had warns, naming the file and line, and reads as 18.
    const char* calibres[] = {"\t21", "", "\t", "\t0", "\t99", "\t-2", "\t24", "\t1", "\tx"};
    std::string text = "Name\tTorpedo\tWarhead\tFast range\tFast speed\tSlow range\tSlow speed\t"
                       "Calibre\n";
    for (int i = 1; i <= 9; ++i) {
        text += "T" + std::to_string(i) + "\tType\t200\t30\t40\t90\t27" + calibres[i - 1] + "\n";
    }
    TWeaponTables tables;
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(LoadWithTorpedoes(text, tables, messages));
    const int expected[] = {21, 18, 18, 18, 18, 18, 24, 1, 18};
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(expected[i - 1], tables.Torpedoes()[static_cast<std::size_t>(i)].Calibre) << i;
    }
    EXPECT_EQ(18, BuiltInTorpedoData().Calibre);
    const auto texts = messages.Texts();
    ASSERT_EQ(2u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("Torpedodata.dat, line 6: torpedo calibre 99"))
        << texts[0];
    EXPECT_NE(std::string::npos, texts[1].find("line 7: torpedo calibre -2")) << texts[1];
}

TEST(TorpedoData, ATorpedoThatDoesNotRunAtASettingIsReported) {
    // T3's slow setting and T5's fast one have no speed: no fire solution can use them.
    std::string text = TorpedoFile(9);
    text.replace(text.find("\t23\n"), 4, "\t0\n");
    text.replace(text.find("\t45\t"), 4, "\tx\t");
    TWeaponTables tables;
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(LoadWithTorpedoes(text, tables, messages));
    const auto texts = messages.Texts();
    ASSERT_EQ(2u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("line 4: torpedo T3 has a speed of 0 knots"))
        << texts[0];
    EXPECT_NE(std::string::npos, texts[1].find("line 6: torpedo T5")) << texts[1];
    EXPECT_EQ(0, tables.FindTorpedo("T3")->SlowSpeed);
}

// ---- Loading -----------------------------------------------------------------------------

TEST(WeaponTablesLoad, ReadsTheFourTablesByTheirColumns) {
    TTempDir dir;
    WriteTables(dir);
    TWeaponTables tables;
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(tables.Load(dir.Path(), messages));
    EXPECT_TRUE(messages.Shown().empty());

    for (int calibre : {kMinCalibre, 12, kMaxCalibre}) {
        const TGunRow* row = tables.Row(calibre);
        ASSERT_NE(nullptr, row);
        const int base = calibre * 100;
        EXPECT_EQ(base + 3, row->EffectiveRange());
        EXPECT_EQ(base + 4, row->BeltPen(1));
        EXPECT_EQ(base + 33, row->BeltPen(30));
        EXPECT_EQ(50000 + base + 4, row->DeckPen(1));
        EXPECT_EQ(50000 + base + 33, row->DeckPen(30));
        EXPECT_FLOAT_EQ(static_cast<float>(90000 + base + 3) / 10.0f, row->RateOfFire);
        EXPECT_EQ(90000 + base + 4, row->MaxRange);
    }
    EXPECT_EQ("", tables.Torpedoes()[0].Name);
    EXPECT_EQ("T9", tables.Torpedoes()[9].Name);
}

TEST(WeaponTablesLoad, AMissingFileStopsTheLoadingThere) {
    struct TCase {
        const char* file;
        std::string message;
        bool vpenRead, hpenRead, gundataRead;
    };
    const std::vector<TCase> cases = {
        {"VPen.dat", "Error: Cannot find file VPen.dat", false, false, false},
        {"HPen.dat", "Error: Cannot find file HPen.dat", true, false, false},
        {"Gundata.dat", "Error: Cannot find file Gundata.dat", true, true, false},
        {"Torpedodata.dat", "", true, true, true},
    };
    for (const TCase& c : cases) {
        TTempDir dir;
        WriteTables(dir);
        std::filesystem::remove(dir.Path() / "Data" / c.file);
        TWeaponTables tables;
        THeadlessMessages messages(nullptr);
        EXPECT_FALSE(tables.Load(dir.Path(), messages)) << c.file;
        const std::string expected =
            c.message.empty()
                ? "Error: Cannot find file " + (dir.Path() / "Data" / "Torpedodata.dat").string()
                : c.message;
        EXPECT_EQ(std::vector<std::string>{expected}, messages.Texts()) << c.file;
        EXPECT_EQ(c.vpenRead, tables.Row(5)->BeltPen(3) != 0) << c.file;
        EXPECT_EQ(c.hpenRead, tables.Row(5)->DeckPen(3) != 0) << c.file;
        EXPECT_EQ(c.gundataRead, tables.MaxRange(5) != 0) << c.file;
        EXPECT_EQ(nullptr, tables.FindTorpedo("T1")) << c.file;
    }
}

TEST(WeaponTablesLoad, ATruncatedTableKeepsTheRowsReadAndStops) {
    TTempDir dir;
    WriteTables(dir);
    const auto hpen = dir.Write("Data/HPen.dat", GunFile(4, 50000, 33)); // calibres 3..6
    TWeaponTables tables;
    THeadlessMessages messages(nullptr);
    EXPECT_FALSE(tables.Load(dir.Path(), messages));
    ASSERT_EQ(1u, messages.Texts().size());
    const std::string text = messages.Texts()[0];
    EXPECT_EQ(0u, text.find("Error loading weapon tables!\n")) << text;
    EXPECT_NE(std::string::npos, text.find(hpen.string() + ", line 6")) << text;
    EXPECT_NE(0, tables.Row(6)->DeckPen(1));  // read before the end
    EXPECT_EQ(0, tables.Row(7)->DeckPen(1));  // the rest stay 0
    EXPECT_NE(0, tables.Row(18)->BeltPen(1)); // VPen was complete
    EXPECT_EQ(0, tables.MaxRange(3));         // Gundata was never read
}

TEST(WeaponTablesLoad, ShortLinesAndBadNumbersDegradeValuesNotTheLoad) {
    TTempDir dir;
    WriteTables(dir);
    std::string vpen = GunFile(kCalibreCount, 0, 33);
    // Calibre 3: a line that stops after field 5, calibre 4 a nonsense figure at 1,000 yards.
    const std::size_t line3 = vpen.find("\n3\tgun 3\t") + 1;
    vpen.replace(line3, vpen.find('\n', line3) - line3, "3\tgun 3\t7\t40\t39");
    vpen.replace(vpen.find("\t404\t"), 5, "\t4x4\t");
    dir.Write("Data/VPen.dat", vpen);
    dir.Write("Data/Torpedodata.dat", "header\nONLY\n"); // one torpedo of nine
    TWeaponTables tables;
    THeadlessMessages messages(nullptr);
    EXPECT_FALSE(tables.Load(dir.Path(), messages)); // the torpedo table ends early
    EXPECT_EQ(7, tables.EffectiveRange(3));
    EXPECT_EQ(40, tables.Row(3)->BeltPen(1));
    EXPECT_EQ(39, tables.Row(3)->BeltPen(2));
    EXPECT_EQ(39, tables.Row(3)->BeltPen(30)); // the last field present
    EXPECT_EQ(0, tables.Row(4)->BeltPen(1));
    EXPECT_EQ(405, tables.Row(4)->BeltPen(2));
    ASSERT_NE(nullptr, tables.FindTorpedo("ONLY"));
    EXPECT_EQ(0, tables.FindTorpedo("ONLY")->FastSpeed); // a one-field line: Name repeats
    // A torpedo without a speed is reported as it is read; then the table's early end.
    ASSERT_EQ(2u, messages.Texts().size());
    EXPECT_NE(std::string::npos, messages.Texts()[0].find("line 2: torpedo ONLY has a speed of 0"))
        << messages.Texts()[0];
    EXPECT_EQ(0u, messages.Texts()[1].find("Error loading weapon tables!\n"));
}

TEST(WeaponTablesLoad, FindsTheFilesWhateverTheirLetterCase) {
    TTempDir dir;
    dir.Write("data/vpen.DAT", GunFile(kCalibreCount, 0, 33));
    dir.Write("data/HPEN.dat", GunFile(kCalibreCount, 50000, 33));
    dir.Write("data/gundata.dat", GunFile(kCalibreCount, 90000, 4));
    dir.Write("data/TORPEDODATA.DAT", TorpedoFile(9));
    TWeaponTables tables;
    THeadlessMessages messages(nullptr);
    EXPECT_TRUE(tables.Load(dir.Path(), messages));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(ShippedWeaponTables, LoadCleanlyWithEveryTorpedoAndRangesInsideTheTables) {
    TWeaponTables tables;
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(tables.Load(tarnwake::testing::ShippedGameDir(), messages));
    EXPECT_TRUE(messages.Shown().empty());
    for (int calibre = kMinCalibre; calibre <= kMaxCalibre; ++calibre) {
        EXPECT_GT(tables.MaxRange(calibre), 0) << calibre;
        EXPECT_LT(tables.MaxRange(calibre), 31) << calibre; // never past the tables
        EXPECT_GT(tables.EffectiveRange(calibre), 0) << calibre;
        EXPECT_LE(tables.EffectiveRange(calibre), tables.MaxRange(calibre)) << calibre;
        EXPECT_GT(tables.RateOfFire(calibre), 0.0f) << calibre;
    }
    for (const char* designation : {"UK18MkVII", "UK21MkII", "UK21MkIV", "GE45G6", "GE50G7", "AH45",
                                    "AH53", "IT45", "FR45"}) {
        const TTorpedoType* torpedo = tables.FindTorpedo(designation);
        ASSERT_NE(nullptr, torpedo) << designation;
        // The fast setting is the faster and the shorter-ranged.
        EXPECT_GT(torpedo->FastSpeed, torpedo->SlowSpeed) << designation;
        EXPECT_LT(torpedo->FastRange, torpedo->SlowRange) << designation;
    }
}
