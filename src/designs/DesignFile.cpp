#include "designs/DesignFile.h"

#include "core/Messages.h"
#include "core/ProfileFile.h"
#include "core/Rounding.h"
#include "designs/WeaponTables.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <system_error>
#include <vector>

namespace tarnwake::designs {

namespace {

constexpr int kTurretSections = 26;       // Turret0 .. Turret25
constexpr int kMountSections = 13;        // TorpedoMount0 .. TorpedoMount12
constexpr int kSubmergedMountReloads = 2; // reloads carried by a submerged tube
constexpr int kDefaultDisplacement = 10000;
constexpr int kDefaultSpeed = 18;
constexpr int kMaxDisplacement = 10'000'000;
constexpr int kMaxSpeed = 99;
constexpr int kMaxGunsPerTurret = 12;
constexpr int kMaxTubesPerMount = 12;
constexpr int kMaxGunsPerLevel = 200;
constexpr int kMaxTorpedoDefense = 10;
// Half-inches: no plate of the era was thicker than 18 inches, and a turret face 20 at most.
constexpr int kMaxArmourHalfInches = 50;
// The weight of a main battery as guns x calibre cubed per ton of displacement: the heaviest
// real designs of the game carry about 1.4; past this a hull could not float its guns.
constexpr double kMostGunWeightPerTon = 3.0;

// Reads one integer key and checks it against a range, naming the file when it is out.
class TRangeChecker {
public:
    TRangeChecker(const core::TProfileFile& file, const std::string& path,
                  core::IMessages& messages)
        : file_(file), path_(path), messages_(messages) {}

    int Read(std::string_view section, std::string_view key, int defaultValue, int lo, int hi,
             int replacement) const {
        const int value = file_.ReadInteger(section, key, defaultValue);
        if (value >= lo && value <= hi) {
            return value;
        }
        messages_.Warn("Warning! " + path_ + ": [" + std::string(section) + "] " +
                       std::string(key) + "=" + std::to_string(value) + " is out of range; " +
                       std::to_string(replacement) + " used");
        return replacement;
    }

private:
    const core::TProfileFile& file_;
    const std::string& path_;
    core::IMessages& messages_;
};

float ArmourInches(const TRangeChecker& checked, std::string_view key) {
    // Design files give armour in half-inches; the whole-number division drops an odd half.
    return static_cast<float>(
        core::Div(checked.Read("Armor", key, 0, 0, kMaxArmourHalfInches, 0), 2));
}

// What makes a design damaged rather than merely odd: the parts a ship cannot do without,
// and the end of a file cut short. Empty when nothing is missing.
std::vector<std::string> DamageOf(const core::TProfileFile& file, const Tship& ship) {
    std::vector<std::string> damage;
    if (!file.SectionExists("Guns")) {
        damage.push_back("there is no [Guns] section");
    }
    int mainGuns = 0;
    for (const TTurret& t : ship.Turrets) {
        mainGuns += t.Guns;
    }
    const int calibre = ship.Calibre[kMainGuns];
    if (calibre > 0 && ship.Turrets.empty()) {
        damage.push_back("it has " + std::to_string(calibre) +
                         "-inch main guns but no [Turret#] section");
    }
    if (calibre == 0 && mainGuns > 0) {
        damage.push_back("its turrets hold " + std::to_string(mainGuns) +
                         " guns but [Guns] Main gives no calibre");
    }
    // Every outline section ends with its IsLine key; one without it was cut short.
    for (int k = kOutlineCount - 1; k >= 0; --k) {
        const std::string section = "Superstructure" + std::to_string(k);
        if (file.SectionExists(section)) {
            if (!file.Find(section, "IsLine")) {
                damage.push_back("it ends in [" + section +
                                 "] before its IsLine key: the file "
                                 "was cut short");
            }
            break;
        }
    }
    return damage;
}

// Figures each possible alone that no ship could have together.
std::vector<std::string> InconsistenciesOf(const Tship& ship) {
    std::vector<std::string> found;
    int mainGuns = 0;
    for (const TTurret& t : ship.Turrets) {
        mainGuns += t.Guns;
    }
    const double calibre = ship.Calibre[kMainGuns];
    if (ship.Displacement > 0 &&
        mainGuns * calibre * calibre * calibre / ship.Displacement > kMostGunWeightPerTon) {
        found.push_back(std::to_string(mainGuns) + " x " + std::to_string(ship.Calibre[kMainGuns]) +
                        "-inch guns are more than a ship of " + std::to_string(ship.Displacement) +
                        " tons could carry");
    }
    return found;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& p : parts) {
        text += (text.empty() ? "" : "; ") + p;
    }
    return text;
}

char FirstCharacter(const std::string& text) {
    return text.empty() ? 'Z' : text.front();
}

} // namespace

int FloatPointsForDisplacement(int displacement) {
    constexpr int kSmallShip = 1500;
    constexpr int kLargeShip = 50000;
    const double d = displacement;
    if (displacement < kSmallShip) {
        return static_cast<int>(core::Round(d * 1.22));
    }
    if (displacement <= kLargeShip) {
        return static_cast<int>(core::Round(std::pow(d, 0.85) * 3.667));
    }
    if (displacement <= kMaxDisplacement) {
        return static_cast<int>(core::Round(d * 0.725));
    }
    return 0;
}

std::string ClassNameFromPath(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

bool LoadDesignFile(const std::filesystem::path& path, Tship& ship, int highestNationIndex,
                    core::IMessages& messages) {
    const std::string pathText = path.string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        messages.Error("Cannot find file: " + pathText);
        return false;
    }
    const core::TProfileFile file(path);
    if (!file.LoadError().empty()) {
        messages.Error("Cannot read design file: " + file.LoadError());
        return false;
    }
    for (const std::string& warning : file.LoadWarnings()) {
        messages.Warn("Warning! " + warning);
    }
    for (const std::string& duplicate : file.Duplicates(pathText)) {
        messages.Warn(duplicate);
    }
    return LoadDesignFile(file, path, ship, highestNationIndex, messages);
}

bool LoadDesignFile(const core::TProfileFile& file, const std::filesystem::path& path, Tship& ship,
                    int highestNationIndex, core::IMessages& messages) {
    const std::string pathText = path.string();
    const TRangeChecker checked(file, pathText, messages);

    ship.Classname = ClassNameFromPath(path);
    const std::string typeText = file.ReadString("Data", "ShipType", "XX");
    if (auto type = ShipTypeFromCode(typeText)) {
        ship.ShipType = *type;
    } else {
        messages.Warn("Warning! Illegal ship type in ship file: " + typeText + "\n(" + pathText +
                      ", [Data] ShipType)");
        ship.ShipType = TShipType::BB;
    }
    ship.Displacement = checked.Read("Data", "Displacement", kDefaultDisplacement, 1,
                                     kMaxDisplacement, kDefaultDisplacement);
    ship.Dynamos = file.ReadInteger("Data", "Dynamos", 1);
    ship.FireControl = file.ReadInteger("Data", "Fire control", 0);
    ship.EnemyClassName = file.ReadString("Data", "EnemyClassName", ship.Classname);
    ship.MisidentifiedClassName = file.ReadString("Data", "MisidentifiedClassName", ship.Classname);
    ship.PictureName = file.ReadString("Data", "PictureName", "");
    ship.Nation = file.ReadInteger("Data", "Nation", -1);
    ship.MineCapacity = checked.Read("Data", "Mine capacity", 0, 0, 10000, 0);
    ship.Mines = ship.MineCapacity;
    ship.ObsoleteDate = file.ReadInteger("Data", "Obsolete date", kNeverObsolete);

    if (ship.Nation < 0 || ship.Nation > highestNationIndex) {
        messages.Error("Illegal nation value! Class: " + ship.Classname + "\n(" + pathText +
                       ", [Data] Nation)");
        return false;
    }

    // Fast ships burn fuel on the high-speed curve: destroyers always, and by default the
    // navies whose designs were built for speed.
    const bool fastByDefault =
        ship.Nation == 3 || ship.Nation == 7 || ship.ShipType == TShipType::DD;
    ship.HSC = file.ReadBool("Data", "HSC", fastByDefault);
    // The torpedo defence divides in the damage rules and stands in "12 - td" there: outside
    // 0..10 a hit could add points back or divide by nothing.
    const int torpedoDefense = file.ReadInteger("Data", "Torpedo defense", 0);
    ship.TorpedoDefense = checked.Read("Data", "Torpedo defense", 0, 0, kMaxTorpedoDefense,
                                       std::clamp(torpedoDefense, 0, kMaxTorpedoDefense));

    ship.Freeboard = file.ReadInteger("Data", "Freeboard", 1) == 1;
    ship.Speed = checked.Read("Data", "Speed", kDefaultSpeed, 0, kMaxSpeed, kDefaultSpeed);
    ship.Length = checked.Read("Data", "Length", 0, 0, 2000, 0);
    ship.Beam = checked.Read("Data", "Beam", 0, 0, 400, 0);
    ship.B = ArmourInches(checked, "B");
    ship.BE = ArmourInches(checked, "BE");
    ship.D = ArmourInches(checked, "D");
    ship.DE = ArmourInches(checked, "DE");
    ship.CT = ArmourInches(checked, "CT");
    ship.T = ArmourInches(checked, "T");
    ship.TT = ArmourInches(checked, "TT");
    ship.SEC = ArmourInches(checked, "SEC");

    static constexpr const char* kCalibreKeys[] = {"Main", "Secondary", "Tertiary"};
    static constexpr const char* kQualityKeys[] = {"MQ", "SQ", "TQ"};
    for (int level = kMainGuns; level <= kTertiaryGuns; ++level) {
        const auto i = static_cast<std::size_t>(level);
        int calibre = file.ReadInteger("Guns", kCalibreKeys[i - 1], 0);
        if (calibre != 0 && (calibre < kMinCalibre || calibre > kMaxCalibre)) {
            // The weapon tables know calibres 3..18 only. A figure outside them is a slip of
            // the pen, not a giant gun: it is refused and the guns of that level go, rather
            // than arming the ship with the heaviest calibre there is.
            calibre = checked.Read("Guns", kCalibreKeys[i - 1], 0, kMinCalibre, kMaxCalibre, 0);
        }
        ship.Calibre[i] = calibre;
        ship.GunQuality[i] = file.ReadInteger("Guns", kQualityKeys[i - 1], 0);
    }
    ship.TorpedoCalibre = file.ReadInteger("Torpedoes", "Calibre", 0);
    ship.TorpedoDesignation = file.ReadString("Torpedoes", "Designation", "X");

    for (int k = 0; k < kFunnelCount; ++k) {
        const std::string n = std::to_string(k + 1);
        auto& funnel = ship.Funnels[static_cast<std::size_t>(k)];
        funnel.Position = checked.Read("Funnels", "Funnel" + n + "Pos", 0, 0, 100, 0);
        funnel.Oval = file.ReadBool("Funnels", "Funnel" + n + "Oval", false);
    }
    for (int k = 0; k < kOutlineCount; ++k) {
        const std::string section = "Superstructure" + std::to_string(k);
        auto& outline = ship.Superstructure[static_cast<std::size_t>(k)];
        for (int p = 0; p < kOutlinePoints; ++p) {
            const std::string point = "Point" + std::to_string(p);
            outline[static_cast<std::size_t>(p)].Angle =
                file.ReadInteger(section, point + "Angle", 0);
            outline[static_cast<std::size_t>(p)].Distance =
                file.ReadInteger(section, point + "Distance", 0);
        }
        ship.IsLine[static_cast<std::size_t>(k)] = file.ReadBool(section, "IsLine", false);
    }

    ship.ShowSec = file.ReadBool("Guns", "ShowSec", false);
    ship.SecNo = checked.Read("Guns", "SecNo", 0, 0, kMaxGunsPerLevel, 0);
    ship.TerNo = checked.Read("Guns", "TerNo", 0, 0, kMaxGunsPerLevel, 0);
    ship.TerTF = file.ReadInteger("Guns", "TerTF", 0);
    ship.SecTF = file.ReadInteger("Guns", "SecTF", 0);
    ship.CDF = file.ReadBool("Guns", "CDF", false);

    ship.Turrets.clear();
    for (int k = 0; k < kTurretSections; ++k) {
        const std::string section = "Turret" + std::to_string(k);
        const int guns = file.ReadInteger(section, "Guns", -1);
        if (guns < -1) {
            checked.Read(section, "Guns", -1, 0, kMaxGunsPerTurret, -1); // reported; no turret
        }
        if (guns < 0) {
            continue; // numbering gaps are allowed
        }
        TFightingTurret turret;
        turret.Guns =
            guns <= kMaxGunsPerTurret
                ? guns
                : checked.Read(section, "Guns", -1, 0, kMaxGunsPerTurret, kMaxGunsPerTurret);
        turret.Pos = FirstCharacter(file.ReadString(section, "Pos", "Z"));
        ship.Turrets.push_back(turret);
    }

    ship.TorpedoMounts.clear();
    for (int k = 0; k < kMountSections; ++k) {
        const std::string section = "TorpedoMount" + std::to_string(k);
        const int tubes = file.ReadInteger(section, "Tubes", 0);
        if (tubes < 0) {
            checked.Read(section, "Tubes", 0, 0, kMaxTubesPerMount, 0); // reported; no mount
        }
        if (tubes <= 0) {
            continue;
        }
        TFightingTorpedoMount mount;
        mount.Tubes =
            tubes <= kMaxTubesPerMount
                ? tubes
                : checked.Read(section, "Tubes", 0, 1, kMaxTubesPerMount, kMaxTubesPerMount);
        mount.TorpsLeft = mount.Tubes;
        mount.Pos = FirstCharacter(file.ReadString(section, "Pos", "Z"));
        mount.Reloads = MountIsSubmerged(mount.Pos) ? kSubmergedMountReloads : 0;
        ship.TorpedoMounts.push_back(mount);
    }

    ship.ComputeTurretFlags();
    if (const auto damage = DamageOf(file, ship); !damage.empty()) {
        messages.Warn("Warning! " + pathText + ": the design is damaged: " + Joined(damage));
    }
    if (const auto odd = InconsistenciesOf(ship); !odd.empty()) {
        messages.Warn("Warning! " + pathText + ": the design is inconsistent: " + Joined(odd));
    }
    return true;
}

} // namespace tarnwake::designs
