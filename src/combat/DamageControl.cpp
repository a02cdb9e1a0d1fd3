#include "combat/DamageControl.h"

#include "combat/FightingShip.h"
#include "combat/Fire.h"
#include "combat/HitEffects.h"
#include "combat/TorpedoMounts.h"
#include "core/Random.h"

#include <algorithm>

namespace tarnwake::combat {

using designs::TShipType;

namespace {

// A badly hurt minelayer drops her mines over the side rather than carry them into action.
constexpr int kJettisonMinesDamage = 30;
constexpr int kMinesJettisonedPerMinute = 2;
// Flooding beyond which the player is told in a box that high speed drives water in.
constexpr int kFloodingBoxThreshold = 50;
constexpr int kFloodingBoxPercent = 40;
// A bulkhead gives way only in a hull already flooded this far.
constexpr int kBulkheadFloodingPercent = 30;
constexpr int kFlotationWarningPercent = 50;
constexpr int kEngineRepairBelow = 50;
constexpr int kEngineRepairStep = 10;
constexpr int kObsoleteEnginesAbove = 70;
// A ship without flotation stays afloat five to fourteen minutes.
constexpr int kFounderMinutes = 5;
constexpr int kFounderSpread = 10;

class TDamageControl {
public:
    TDamageControl(TFightingShip& ship, const TDamageControlConditions& conditions,
                   core::TRandomGenerator& random)
        : ship_(ship), c_(conditions), random_(random),
          obsolete_(ship.ObsoleteDate < conditions.GameDay) {}

    TDamageControlResult Run() {
        if (ship_.ShipType == TShipType::TR) {
            // Merchant crews have no damage-control parties to speak of.
            ship_.CrewQuality = -2;
        }
        JettisonMines();
        RepairRudder();
        FightFlooding();
        DrainPF();
        SinkOrFounder();
        RepairMachinery();
        RuptureBulkhead();
        RestorePower();
        RecoverTurrets();
        WarnFlotation();
        if (c_.InDivision) {
            HighSpeedEngineTrouble();
            ObsoleteEngineTrouble();
        }
        Fire();
        if (ship_.DamageReport.empty() || R(6) == 1) {
            ship_.EstimateDamage(ship_.DamagePercentage(), random_);
        }
        ReloadTorpedoMounts(ship_, c_.SeaState, c_.Time, random_);
        ship_.Locked = std::max(ship_.Locked - 1, 0);
        ship_.FiredTorpedoesThisMinute = false;
        return std::move(result_);
    }

private:
    int R(int n) { return random_.Random(n); }
    int DC() const { return c_.DamageControl; }
    int CQ() const { return ship_.CrewQuality; }
    int TD() const { return ship_.TorpedoDefense; }
    int S() const { return ship_.SuperstructurePercentage(); }

    void Say(const std::string& text) {
        if (c_.Report) {
            result_.Messages.push_back(text);
        }
    }
    void Log(const std::string& text) { ship_.Hits.push_back(c_.Time + " " + text); }

    void JettisonMines() {
        if (ship_.Mines > 0 && ship_.DamagePercentage() > kJettisonMinesDamage) {
            ship_.Mines = std::max(ship_.Mines - kMinesJettisonedPerMinute, 0);
            Say(ship_.Name + " is jettisoning mines due to damage!");
            Log(" Jettisoning mines due to damage!");
        }
    }

    void RepairRudder() {
        if (ship_.RudderStatus != 0 && R(100) < (DC() + CQ()) * 5 + 12) {
            ship_.RudderStatus = 0;
            Say(ship_.Name + " rudder repaired!");
            Log(" Rudder repaired!");
        }
    }

    void LimitsFlooding() {
        Say(ship_.Name + " limits flooding!");
        Log(" Limits flooding!");
    }

    void FightFlooding() {
        if (ship_.Flooding <= 0) {
            return;
        }
        const int displacement = ship_.Displacement;
        if (R(50) < ship_.CurrentSpeed - 10 && R(displacement / 500 + 200) < ship_.Flooding + 40) {
            // Driving a holed hull hard forces the sea in through the damage.
            ship_.Flooding += std::min(R(displacement / 1000 + 5) + 5, ship_.Flooding);
            Say(ship_.Name + " high speed increases flooding!");
            if (c_.Report && ship_.Flooding > kFloodingBoxThreshold &&
                ship_.FloodingPercentage() > kFloodingBoxPercent && c_.FlotationWarning &&
                c_.InDivision) {
                result_.MessageBoxes.push_back(ship_.Name + " high speed increases flooding!");
            }
            Log(" High speed increases flooding!");
        } else if (!ship_.ElectricDisabled && ship_.FireLevel < 4) {
            // Pumps need power, and a ship ablaze has her hands at the hoses.
            const bool merchantHull =
                designs::IsOneOf(ship_.ShipType, {TShipType::AMC, TShipType::TR});
            if (R(40) < ship_.EngineEfficiency + 10 &&
                R(2 * ship_.CurrentSpeed + 60) < (CQ() + TD() + DC()) * 4 + 24 &&
                (!merchantHull || R(100) <= 49) && R(120) > S() && (!obsolete_ || R(100) <= 59)) {
                int v = std::min(R(TD() + 4 * DC() + 31) + TD() + 10, displacement / 30);
                if (R(100) < 20) {
                    v = R(displacement / 1000 + TD() + 5) + 5;
                }
                ship_.Flooding = std::max(ship_.Flooding - v, 0);
                LimitsFlooding();
            }
        }
        ship_.CurrentFloatPoints = std::max(ship_.CurrentFloatPoints - ship_.Flooding / 2, 0);
    }

    // Water let in below the armour that drains the flotation directly, and can only be fought
    // while the fires leave men for the pumps.
    void DrainPF() {
        if (ship_.PF <= 0 || ship_.FireLevel >= 3) {
            return;
        }
        if (R(120) > S() && R(40) < ship_.EngineEfficiency + 10 && R(900) < TD() + DC() + 1 &&
            (!obsolete_ || R(100) < 60)) {
            ship_.PF = R(100) > 59 ? ship_.PF / 2 : 0;
            LimitsFlooding();
        }
        ship_.CurrentFloatPoints = std::max(ship_.CurrentFloatPoints - ship_.PF, 0);
    }

    void SinkOrFounder() {
        if (ship_.Sunk) {
            return;
        }
        if (ship_.Sinking > 0) {
            if (--ship_.Sinking == 0) {
                ship_.Sunk = true;
            }
        } else if (ship_.MaxFloatPoints > 0 && ship_.CurrentFloatPoints <= 0) {
            ship_.Sinking = kFounderMinutes + R(kFounderSpread);
            ship_.CurrentSpeed = 0;
        }
    }

    void MachineryRepaired() {
        Say(ship_.Name + " machinery repaired!");
        Log(" Machinery repaired!");
    }

    void RepairMachinery() {
        if (ship_.EngineDisabled && R(200) > S() && ship_.FireLevel < R(8) &&
            R(200) < (DC() + CQ()) * 2 + 6) {
            ship_.EngineDisabled = false;
            MachineryRepaired();
        }
        if (ship_.EngineEfficiency < kEngineRepairBelow && R(1000) < (DC() + CQ()) * 2 + 5 &&
            R(200) > S() && ship_.FireLevel < R(8)) {
            ship_.EngineEfficiency += kEngineRepairStep;
            MachineryRepaired();
        }
    }

    void RuptureBulkhead() {
        if (ship_.FloodingPercentage() <= kBulkheadFloodingPercent || ship_.Bulkhead ||
            R(250) >= ship_.CurrentSpeed || R(1200) >= c_.SeaState + TD() - (DC() + CQ()) * 2 + 5) {
            return;
        }
        ship_.Bulkhead = true;
        ship_.Flooding += std::min(R(ship_.MaxFloatPoints / 100), 200) + 10;
        const bool reaches = Battered(ship_, 1) ? R(100) < 40 : R(100) < 10;
        if (reaches) {
            ship_.PF += ship_.MaxFloatPoints / std::max(TD() * 100 + 400, 1);
        }
        Say("7" + ship_.Name + " bulkhead ruptures! Flooding increases!");
        Log(" Bulkhead ruptures! Flooding increases!");
    }

    void RestorePower() {
        if (ship_.ElectricDisabled && ship_.FireLevel < 4 && R(100) < (DC() + CQ()) * 3 + 7 &&
            R(200) > S() && ship_.FireLevel < R(8)) {
            ship_.ElectricDisabled = false;
            Say(ship_.Name + " Electric power restored!");
            Log(" Electric power restored!");
        }
    }

    void RecoverTurrets() {
        for (auto& turret : ship_.Turrets) {
            if (turret.Silenced <= 0 || ship_.FireLevel >= 3) {
                continue;
            }
            if (--turret.Silenced > 0) {
                continue;
            }
            if (R(100) < CQ() * 4 + 20 && R(200) > S() && ship_.FireLevel < R(10)) {
                Say(ship_.Name + " Turret back in action!");
                Log(" Turret back in action!");
            } else {
                turret.Silenced = 1; // tried again next minute
            }
        }
    }

    void WarnFlotation() {
        if (c_.Report && c_.FlotationWarning &&
            !designs::IsOneOf(ship_.ShipType, {TShipType::LT, TShipType::TR}) &&
            ship_.FloodingPercentage() > kFlotationWarningPercent && !ship_.IsSinkingOrSunk() &&
            !ship_.WarnedFlotation) {
            Say("7" + ship_.Name + " has more than 50% flotation damage!");
            ship_.WarnedFlotation = true;
        }
    }

    // Long steaming above cruising speed, away from the enemy, overheats bearings and strains
    // engines; only the player's ships are held at such speeds for long.
    void HighSpeedEngineTrouble() {
        const int threshold = CruisingThreshold(ship_);
        if (!c_.Known || c_.DivisionSpeed <= threshold || c_.EnemyInSight ||
            R(100000) >= c_.DivisionSpeed - threshold || R(100) >= 8) {
            return;
        }
        if (R(100) > 59) {
            ship_.EngineEfficiency = std::max(ship_.EngineEfficiency - kEngineRepairStep, 0);
            Say("7" + ship_.Name + " Engines damaged due to extended high speed cruising!");
            Log(" Engine damaged due to high speed cruising!");
        } else {
            ship_.EngineDisabled = true;
            Say("7" + ship_.Name +
                "  Engine breakdown! Bearings overheat due to extended high speed cruising!");
            Log(" Bearings overheat due to high speed cruising!");
        }
    }

    void ObsoleteEngineTrouble() {
        if ((R(100000) < c_.DivisionSpeed - 16 || R(100000) == 1) && obsolete_ &&
            ship_.EngineEfficiency > kObsoleteEnginesAbove) {
            ship_.EngineEfficiency -= kEngineRepairStep;
            Say("7" + ship_.Name + " Obsolete engines are acting up!");
            Log(" Obsolete engines are acting up!");
        }
    }

    void Fire() {
        const TFireResult fire =
            FightFire(ship_, {DC(), obsolete_, c_.Unmolested, c_.Time}, random_);
        if (!fire.Text.empty()) {
            Say(ship_.Name + " " + fire.Text);
        }
    }

    TFightingShip& ship_;
    const TDamageControlConditions& c_;
    core::TRandomGenerator& random_;
    const bool obsolete_;
    TDamageControlResult result_;
};

} // namespace

int CruisingThreshold(const TFightingShip& ship) {
    constexpr int kBattleshipCruising = 16;
    constexpr int kFastShipCruising = 18;
    constexpr int kAuxiliaryMargin = 4;
    constexpr int kAuxiliaryLeast = 12;
    constexpr int kTransportLeast = 5;
    switch (ship.ShipType) {
    case TShipType::BB:
    case TShipType::B:
        return kBattleshipCruising;
    case TShipType::AMC:
    case TShipType::MS:
    case TShipType::AV:
    case TShipType::LT:
        return std::max(kAuxiliaryLeast, ship.Speed - kAuxiliaryMargin);
    case TShipType::TR:
        return std::max(kTransportLeast, ship.Speed - kAuxiliaryMargin);
    default:
        return kFastShipCruising;
    }
}

TDamageControlResult ShipDamageControl(TFightingShip& ship,
                                       const TDamageControlConditions& conditions,
                                       core::TRandomGenerator& random) {
    return TDamageControl(ship, conditions, random).Run();
}

} // namespace tarnwake::combat
