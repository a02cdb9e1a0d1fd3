#include "engine/Digest.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/GameClock.h"
#include "engine/GameWorld.h"
#include "engine/Torpedo.h"

#include <cstdio>
#include <sstream>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

template <typename Ptr> int IdOf(const Ptr* p) {
    return p != nullptr ? p->Id.Value : 0;
}

void WriteShip(std::ostringstream& out, const TFightingShip& s) {
    const map::TGeoPos p = s.Position();
    out << "ship " << s.Id.Value << ' ' << s.Name << " side=" << s.Side << " at=" << p.lon << ','
        << p.lat << " heading=" << s.CourseMilli() << " ordered=" << s.OrderedCourse
        << " speed=" << s.CurrentSpeed << '/' << s.OrderedSpeed << " steam=" << s.TimeToRaiseSteam
        << " float=" << s.CurrentFloatPoints << '/' << s.MaxFloatPoints
        << " structure=" << s.CurrentSuperstructurePoints << " flooding=" << s.Flooding
        << " fire=" << s.FireLevel << " engine=" << s.EngineEfficiency
        << (s.EngineDisabled ? " engine-out" : "") << (s.ElectricDisabled ? " power-out" : "")
        << (s.BowDamage ? " bow-damaged" : "") << " rudder=" << s.RudderStatus
        << " sinking=" << s.Sinking << (s.Sunk ? " sunk" : "") << " hits=" << s.LightHits << '/'
        << s.MediumHits << '/' << s.HeavyHits << '/' << s.TorpedoHits
        << " out-of-control=" << s.OutOfControl << " smoke=" << s.SmokeMinutes << '/'
        << s.SmokeFloats << " seen=" << s.SightingLevel << " fuel=" << s.CurrentEndurance
        << (s.Abandoned ? " abandoned" : "") << " reattach=" << s.ReattachDelay;
    for (const combat::TRescue& r : s.Rescues) {
        out << " rescued-by=" << r.Rescuer.Value << ':' << r.Picked
            << (r.LostWithRescuer ? "x" : "");
    }
    out << " ammo=";
    for (int level = 1; level <= 3; ++level) {
        out << s.Ammo[static_cast<std::size_t>(level)] << (level < 3 ? "/" : "");
    }
    out << " guns=" << s.CurrentSecondariesPort << '/' << s.CurrentSecondariesStarboard << '/'
        << s.CurrentTertiariesPort << '/' << s.CurrentTertiariesStarboard << " turrets=";
    for (const auto& t : s.Turrets) {
        out << (t.Destroyed ? 'X' : (t.Silenced > 0 ? 's' : 'o'));
    }
    out << " mounts=";
    for (const auto& m : s.TorpedoMounts) {
        out << (m.Destroyed ? 'X' : 'o') << m.TorpsLeft << ':' << m.Reloads << ':' << m.ReloadTime;
    }
    out << " target=" << IdOf(s.CurrentTarget) << " secondary=" << IdOf(s.SecondaryPortTarget)
        << '/' << IdOf(s.SecondaryStarboardTarget) << '/' << IdOf(s.TertiaryPortTarget) << '/'
        << IdOf(s.TertiaryStarboardTarget) << " sighted=";
    for (const TFightingShip* o : s.Sighted) {
        out << IdOf(o) << ',';
    }
    out << '\n';
}

void WriteDivision(std::ostringstream& out, const TDivision& d) {
    out << "division " << d.Id.Value << ' ' << d.DivisionName << " side=" << d.Side
        << " course=" << d.Course << " speed=" << d.Speed << " formation=" << d.Formation
        << " role=" << d.Role << " lead=" << IdOf(d.LeadDiv) << (d.AIControl ? " ai" : "")
        << (d.TurnTogether ? " together" : "") << " target=" << IdOf(d.TargetDivision)
        << " stance=" << d.TacticalStance << " hold-fire=" << d.HoldFireMinutes
        << (d.MakeSmoke ? " smoke" : "") << " battle-smoke=" << d.BattleSmokeLevel
        << " waypoint=" << d.WaypointIndex << " objective=" << d.Objective.lon << ','
        << d.Objective.lat << " losses=" << d.Losses << " combat=" << d.MinutesInCombat
        << (d.LockedAI ? " lost-contact" : "") << (d.GoHome ? " go-home" : "")
        << " reported=" << d.Reported << " rescue=" << IdOf(d.RescueTarget) << " ships=";
    for (const TFightingShip* s : d.Ships) {
        out << IdOf(s) << ',';
    }
    out << '\n';
}

} // namespace

std::string StateText(const TGameWorld& world) {
    std::ostringstream out;
    out << "clock " << core::FormatDateTime(world.Clock) << " elapsed=" << world.TimeElapsed
        << " length=" << world.Length << " quiet=" << world.QuietMinutes
        << (world.ScenarioFinished ? " finished" : "")
        << (world.ObjectiveReached ? " objective-reached" : "")
        << (world.ObjectiveFailed ? " objective-failed" : "") << '\n';
    for (std::size_t i = 0; i < world.Sides.size(); ++i) {
        const TSide& side = world.Sides[i];
        out << "side " << i << (side.Alerted ? " alerted" : "") << " threat=" << side.ThreatSum
            << " important=" << side.ImportantEnemy.Value << '\n';
    }
    const TEnvironmentState& env = world.Environment;
    out << "weather " << env.Weather << " wind=" << env.WindForce << '/' << env.WindDirection
        << " ranges=" << env.DayRange << '/' << env.NightRange << '\n';
    for (const auto& s : world.Ships) {
        WriteShip(out, *s);
    }
    for (const auto& s : world.SunkShips) {
        out << "gone ";
        WriteShip(out, *s);
    }
    for (const auto& d : world.Divisions) {
        WriteDivision(out, *d);
    }
    for (const auto& f : world.Forces) {
        out << "force " << f->Id.Value << ' ' << f->Name << " withdrawal=" << f->WithdrawalLevel
            << (f->FlotillaAttack ? " flotilla-attack" : "") << '\n';
    }
    for (const auto& o : world.Objectives) {
        out << "objective " << o->Id.Value << " status=" << o->Status << '\n';
    }
    for (const auto* list : {&world.PlayerReports, &world.ComputerReports}) {
        for (const auto& r : *list) {
            out << (list == &world.PlayerReports ? "player-report " : "computer-report ")
                << r->Id.Value << " side=" << r->Side << " by=" << r->Reporter.Value
                << " made=" << r->MinuteStamp << " delivery=" << r->Delivery
                << " at=" << r->ReportedPosition.lon << ',' << r->ReportedPosition.lat << r->Text()
                << (r->Checked ? " checked" : "") << (r->Arrived ? " arrived" : "") << '\n';
        }
    }
    for (const auto& smoke : world.SmokeFloats) {
        out << "smoke " << smoke->Id.Value << " at=" << smoke->Origin.lon << ','
            << smoke->Origin.lat << " minutes=" << smoke->MinutesLeft << '\n';
    }
    for (const auto& t : world.Torpedoes) {
        const map::TGeoPos p = t->Position();
        out << "torpedo " << t->Id.Value << " by=" << t->FiredBy.Value << " at=" << p.lon << ','
            << p.lat << " heading=" << t->Heading << " speed=" << t->Speed << " run=" << t->RunSoFar
            << '/' << t->TotalRun << (t->Close ? " close" : "") << '\n';
    }
    for (const TFullLogEntry& entry : world.Log.FullLog()) {
        if (!entry.note) {
            out << "log " << entry.time << entry.line << '\n';
        }
    }
    return out.str();
}

std::uint64_t StateDigest(const TGameWorld& world) {
    std::uint64_t hash = kFnvOffset;
    for (const char c : StateText(world)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
    }
    return hash;
}

std::string DigestHex(std::uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

} // namespace tarnwake::engine
