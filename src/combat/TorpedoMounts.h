#pragma once

#include "designs/Turret.h"
#include "designs/WeaponTables.h"

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::core {
class IMessages;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::combat {

class TFightingShip;

// The two settings of a torpedo: fast and short (HIGH) or slow and long (LOW).
enum class TTorpedoSetting { High, Low };

int SettingSpeed(const designs::TTorpedoType& type, TTorpedoSetting setting);
int SettingRange(const designs::TTorpedoType& type, TTorpedoSetting setting);

// A run no torpedo ever completes: the target draws away as fast as the torpedo follows.
inline constexpr int kNeverReached = std::numeric_limits<int>::max();

// ---- The torpedo computer
// The lead angle L (degrees, signed like the bow angle's sine) that puts a torpedo of
// `torpedoSpeed` knots where a target of `targetSpeed` knots will be, seen at bow angle
// `bowAngle` (the firer's relative bearing from the target's bow, 0..359): sin L = Vs sin B /
// Vt. None when the target is too fast to be caught at that angle, or the torpedo does not run.
std::optional<double> FireSolution(int bowAngle, int torpedoSpeed, int targetSpeed);
// Yards the torpedo runs to the point of meeting, for the rounded lead `lead` at range `range`:
// sin B x R / sin(180 - B - L). Bow on, where the triangle closes to a line, the two simply
// close at their summed speeds. kNeverReached when the torpedo would run parallel to the
// target's track for ever; zero or less when the meeting lies behind the torpedo.
int RunDistance(int lead, int bowAngle, int range, int torpedoSpeed, int targetSpeed);

// One setting's answer: the lead (rounded) and the run to the target.
struct TTorpedoAim {
    int Lead = 0;
    int Run = 0;
};
// The aim of one setting, or none when the torpedo cannot reach the target: no lead angle, a
// meeting behind the tubes, or a run beyond the setting's range.
std::optional<TTorpedoAim> AimSetting(int bowAngle, int torpedoSpeed, int targetSpeed, int range,
                                      int settingRange);

// The doubt of a torpedo officer's estimate: a degree either way for the target's speed
// (`speedDoubt`), and another either way when the target's class is not made out
// (`identityDoubt`). Each draw comes in this order: +1, -1, then -1, +1.
int JitteredCourse(int course, bool speedDoubt, bool identityDoubt, core::TRandomGenerator& random);

// ---- Mounts
// A mount with a torpedo in its tubes that has not been wrecked.
bool MountReady(const designs::TFightingTorpedoMount& mount);
// The first mount, in the ship's list order, that is ready and bears on the true course
// `course`; -1 when none does.
int FirstMountReady(const TFightingShip& ship, int course);

// After firing: a submerged tube takes half an hour or more to reload from below; a deck mount
// (reloaded by hand in the open, if at all) four hours and more, longer in a seaway.
void StartReload(designs::TFightingTorpedoMount& mount, int seaState,
                 core::TRandomGenerator& random);
// One minute of reloading a mount; answers whether a torpedo came ready. In a heavy sea the
// crews lose time.
bool ReloadStep(designs::TFightingTorpedoMount& mount, int seaState,
                core::TRandomGenerator& random);
// Once a minute, from the ship's damage control: her submerged tubes' reloads go on, slower in
// a heavy sea and in a flooded hull; each reload completed is written to her log at `time`.
void ReloadTorpedoMounts(TFightingShip& ship, int seaState, const std::string& time,
                         core::TRandomGenerator& random);

// ---- The player's torpedo window
// A line of the mounts list: its text and, for a mount that can fire, the setting and the true
// course it fires on.
struct TTorpedoMountLine {
    std::string Text;
    int Mount = -1; // the mount the line selects; -1 for a line that fires nothing
    TTorpedoSetting Setting = TTorpedoSetting::High;
    int Course = 0;
};

inline constexpr const char* kUncertainIdentity = "Uncertain identity. No torpedo fire";
inline constexpr const char* kFriendInLineOfFire = "Friendly ship in line of fire!";

// Whether a ship of the firer's near-friends list, or the water it is steaming into, lies
// within 20 degrees of the bearing to the target.
bool FriendInLineOfFire(const TFightingShip& ship, const TFightingShip& target,
                        core::IMessages& messages);

// The mounts list of `ship` for a torpedo attack on `target`: one line for each mount with its
// HIGH or LOW course, or why it cannot fire; or the single line saying why the ship may not fire
// at all. `ships` are the world's ships (for the line of fire); the estimates of the target's
// speed and course are drawn from `random`.
std::vector<TTorpedoMountLine>
TorpedoMountLines(const TFightingShip& ship, const TFightingShip& target,
                  const std::vector<std::unique_ptr<TFightingShip>>& ships,
                  core::TRandomGenerator& random, core::IMessages& messages);

} // namespace tarnwake::combat
