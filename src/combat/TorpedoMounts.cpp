#include "combat/TorpedoMounts.h"

#include "combat/FightingShip.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "map/Geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tarnwake::combat {

namespace {

constexpr double kDegreesToRadians = std::numbers::pi / 180.0;

// A submerged tube is reloaded from the torpedo room below in half an hour or so; a deck mount
// in four hours or more, slowed by every point of sea.
constexpr int kSubmergedReloadMinutes = 30;
constexpr int kSubmergedReloadSpread = 20;
constexpr int kDeckReloadMinutes = 240;
constexpr int kDeckReloadPerSeaState = 10;
constexpr int kDeckReloadSpread = 120;
// Up to this sea state the reload crews never lose a minute.
constexpr int kCalmForReloading = 4;
// The flooding a hull takes before it slows the work in the torpedo rooms.
constexpr int kFloodingBeforeReloadsSlow = 20;
constexpr const char* kTubeReloaded = "Torpedo tube reloaded";

// The estimate of a course is a degree out either way, a fifth of the time each; a target whose
// class is unknown is misjudged more often.
constexpr int kSpeedDoubtChance = 20;
constexpr int kIdentityDoubtChance = 40;
// A stopped target is judged to within a knot, a moving one to within two.
constexpr int kMovingSpeedDoubt = 3;
constexpr int kStoppedSpeedDoubt = 2;

// A friend this near has the torpedoes pass close ahead of it; a farther one needs a wider
// margin of the water it steams into.
constexpr double kNearFriendYards = 2000.0;
constexpr double kNearFriendLeadYards = 400.0;
constexpr double kFarFriendLeadYards = 1000.0;
constexpr int kLineOfFireArc = 20;

double Sine(double degrees) {
    return std::sin(degrees * kDegreesToRadians);
}

int Bounded(double yards) {
    if (yards >= static_cast<double>(kNeverReached)) {
        return kNeverReached;
    }
    if (yards <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(core::Round(yards));
}

} // namespace

int SettingSpeed(const designs::TTorpedoType& type, TTorpedoSetting setting) {
    return setting == TTorpedoSetting::High ? type.FastSpeed : type.SlowSpeed;
}

int SettingRange(const designs::TTorpedoType& type, TTorpedoSetting setting) {
    return setting == TTorpedoSetting::High ? type.FastRange : type.SlowRange;
}

std::optional<double> FireSolution(int bowAngle, int torpedoSpeed, int targetSpeed) {
    if (torpedoSpeed <= 0) {
        return std::nullopt;
    }
    const double x = targetSpeed * Sine(bowAngle) / torpedoSpeed;
    if (x > 1.0 || x < -1.0) {
        return std::nullopt;
    }
    return std::asin(x) / kDegreesToRadians;
}

int RunDistance(int lead, int bowAngle, int range, int torpedoSpeed, int targetSpeed) {
    const int b = map::NormaliseCourse(bowAngle);
    if (b == 0) {
        // Bow on, torpedo and target run at each other along the line between them.
        const int closing = torpedoSpeed + targetSpeed;
        if (closing <= 0) {
            return kNeverReached;
        }
        return Bounded(static_cast<double>(range) * torpedoSpeed / closing);
    }
    const int d = 180 - b - lead;
    if (d == 0) {
        return kNeverReached;
    }
    return Bounded(Sine(b) * range / Sine(d));
}

std::optional<TTorpedoAim> AimSetting(int bowAngle, int torpedoSpeed, int targetSpeed, int range,
                                      int settingRange) {
    const std::optional<double> lead = FireSolution(bowAngle, torpedoSpeed, targetSpeed);
    if (!lead) {
        return std::nullopt;
    }
    TTorpedoAim aim;
    aim.Lead = static_cast<int>(core::Round(*lead));
    aim.Run = RunDistance(aim.Lead, bowAngle, range, torpedoSpeed, targetSpeed);
    // A meeting point behind the tubes is a target the torpedo can never catch.
    if (aim.Run <= 0 || aim.Run > settingRange) {
        return std::nullopt;
    }
    return aim;
}

int JitteredCourse(int course, bool speedDoubt, bool identityDoubt,
                   core::TRandomGenerator& random) {
    int c = map::AddBearing(course, 0);
    if (speedDoubt) {
        if (random.Random(100) < kSpeedDoubtChance) {
            c = map::AddBearing(c, 1);
        }
        if (random.Random(100) < kSpeedDoubtChance) {
            c = map::AddBearing(c, -1);
        }
    }
    if (identityDoubt) {
        if (random.Random(100) < kIdentityDoubtChance) {
            c = map::AddBearing(c, -1);
        }
        if (random.Random(100) < kIdentityDoubtChance) {
            c = map::AddBearing(c, 1);
        }
    }
    return c;
}

bool MountReady(const designs::TFightingTorpedoMount& mount) {
    return !mount.Destroyed && mount.TorpsLeft > 0;
}

int FirstMountReady(const TFightingShip& ship, int course) {
    const int relative = map::AddBearing(course, -ship.Course());
    for (std::size_t i = 0; i < ship.TorpedoMounts.size(); ++i) {
        const designs::TFightingTorpedoMount& mount = ship.TorpedoMounts[i];
        if (MountReady(mount) && designs::MountCanFire(mount.Pos, relative)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void StartReload(designs::TFightingTorpedoMount& mount, int seaState,
                 core::TRandomGenerator& random) {
    if (mount.Reloads <= 0) {
        mount.ReloadTime = 0;
    } else if (designs::MountIsSubmerged(mount.Pos)) {
        mount.ReloadTime = kSubmergedReloadMinutes + random.Random(kSubmergedReloadSpread);
    } else {
        mount.ReloadTime = kDeckReloadMinutes + kDeckReloadPerSeaState * seaState +
                           random.Random(kDeckReloadSpread);
    }
}

bool ReloadStep(designs::TFightingTorpedoMount& mount, int seaState,
                core::TRandomGenerator& random) {
    if (mount.Reloads <= 0) {
        return false;
    }
    if (mount.ReloadTime == 1) {
        mount.Reloads = std::max(0, mount.Reloads - 1);
        mount.TorpsLeft = 1;
        mount.ReloadTime = 0;
        return true;
    }
    if (random.Random(10) > seaState - kCalmForReloading) {
        mount.ReloadTime = std::max(0, mount.ReloadTime - 1);
    }
    return false;
}

void ReloadTorpedoMounts(TFightingShip& ship, int seaState, const std::string& time,
                         core::TRandomGenerator& random) {
    for (designs::TFightingTorpedoMount& mount : ship.TorpedoMounts) {
        if (mount.Destroyed || !designs::MountIsSubmerged(mount.Pos)) {
            continue;
        }
        if (random.Random(100) > ship.FloodingPercentage() - kFloodingBeforeReloadsSlow &&
            ReloadStep(mount, seaState, random)) {
            ship.Hits.push_back(time + " " + kTubeReloaded);
        }
    }
}

bool FriendInLineOfFire(const TFightingShip& ship, const TFightingShip& target,
                        core::IMessages& messages) {
    const int toTarget = ship.TrueBearingToShip(&target, messages);
    for (const TFightingShip* friendShip : ship.NearFriends) {
        if (friendShip == nullptr || friendShip == &ship) {
            continue;
        }
        const double lead = RangeYards(ship, *friendShip) < kNearFriendYards ? kNearFriendLeadYards
                                                                             : kFarFriendLeadYards;
        const map::TGeoPos ahead =
            map::MovePoint(friendShip->Position(), friendShip->Course(), lead);
        if (map::CourseDifference(ship.TrueBearingToShip(friendShip, messages), toTarget) <
                kLineOfFireArc ||
            map::CourseDifference(map::BearingBetween(ship.Position(), ahead), toTarget) <
                kLineOfFireArc) {
            return true;
        }
    }
    return false;
}

std::vector<TTorpedoMountLine>
TorpedoMountLines(const TFightingShip& ship, const TFightingShip& target,
                  const std::vector<std::unique_ptr<TFightingShip>>& ships,
                  core::TRandomGenerator& random, core::IMessages& messages) {
    if (ship.HoldFireUncertain && ship.CurrentTarget == &target) {
        return {{kUncertainIdentity}};
    }
    if (ship.CountShipsInBetween(&target, ships, false) >= 1 ||
        FriendInLineOfFire(ship, target, messages)) {
        return {{kFriendInLineOfFire}};
    }

    const bool stopped = target.CurrentSpeed == 0;
    const int doubt = stopped ? kStoppedSpeedDoubt : kMovingSpeedDoubt;
    int estimatedSpeed = target.CurrentSpeed + random.Random(doubt);
    estimatedSpeed -= random.Random(doubt);
    const int bowAngle = target.GetBearingToShip(&ship, messages);
    const int range = ship.GetRoundedRangeToShip(&target, false, random, messages);
    const int bearing = ship.TrueBearingToShip(&target, messages);
    const bool identityDoubt = target.SightingLevel == kTypeIdentified;

    struct TSettingCourse {
        TTorpedoSetting Setting;
        std::optional<int> Course;
        int Relative = 0;
    };
    std::array<TSettingCourse, 2> settings{
        {{TTorpedoSetting::High, std::nullopt}, {TTorpedoSetting::Low, std::nullopt}}};
    for (TSettingCourse& s : settings) {
        const auto aim =
            AimSetting(bowAngle, SettingSpeed(ship.TorpedoData, s.Setting), estimatedSpeed, range,
                       SettingRange(ship.TorpedoData, s.Setting));
        if (aim) {
            s.Course =
                JitteredCourse(map::AddBearing(bearing, aim->Lead), true, identityDoubt, random);
            s.Relative = map::AddBearing(*s.Course, -ship.Course());
        }
    }

    std::vector<TTorpedoMountLine> lines;
    for (std::size_t i = 0; i < ship.TorpedoMounts.size(); ++i) {
        const designs::TFightingTorpedoMount& mount = ship.TorpedoMounts[i];
        const std::string name = designs::MountPositionName(mount.Pos);
        TTorpedoMountLine line;
        if (!MountReady(mount)) {
            line.Text = name + " Expended ";
        } else {
            const auto firing = std::find_if(settings.begin(), settings.end(), [&](const auto& s) {
                return s.Course && designs::MountCanFire(mount.Pos, s.Relative);
            });
            if (firing != settings.end()) {
                const bool high = firing->Setting == TTorpedoSetting::High;
                line.Text = name + (high ? " HIGH " : " LOW ") + std::to_string(*firing->Course);
                line.Mount = static_cast<int>(i);
                line.Setting = firing->Setting;
                line.Course = *firing->Course;
            } else if (!settings[0].Course && !settings[1].Course) {
                line.Text = name + " No solution ";
            } else {
                line.Text = name + " Out of arc ";
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace tarnwake::combat
