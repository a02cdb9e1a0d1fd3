// The division orders dialog over a small hand-made world: a battle-cruiser force off Jutland
// in May 1916 with a battle-cruiser, a light-cruiser and a destroyer division.

#include "ui/DivisionReport.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/GameClock.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"
#include "support/TestWorld.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>
#include <climits>
#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;
using ui::TdlgDivisionReport;

namespace {

struct TGame : tarnwake::testing::TTestWorld {
    combat::TForce* force = nullptr;
    TDivision* battleCruisers = nullptr; // the force flagship's division
    TDivision* lightCruisers = nullptr;
    TDivision* destroyers = nullptr;
    // Destroyed before the world it reads.
    TdlgDivisionReport dialog{world, messages};

    explicit TGame(int year = 1916)
        : tarnwake::testing::TTestWorld(core::TGameFolders("game", "user"), 3) {
        world.Clock = core::EncodeDateTime(year, 5, 31, 14, 0);
        force = &world.AddForce(std::make_unique<combat::TForce>("Battle Cruiser Fleet", 0));
        battleCruisers = &Add("1st BCS", TShipType::BC, {28, 27});
        lightCruisers = &Add("2nd LCS", TShipType::CL, {21, 25, 18});
        destroyers = &Add("13th Flotilla", TShipType::DD, {34, 34});
    }

    // A division of ships whose design speeds are `speeds`, `yards` north of the others.
    TDivision& Add(const std::string& name, TShipType type, const std::vector<int>& speeds,
                   double yards = 0, bool inForce = true) {
        auto& d = world.AddDivision(std::make_unique<TDivision>(name, 0));
        d.Course = 90;
        d.Speed = 15;
        for (int speed : speeds) {
            tarnwake::testing::TTestShipSpec spec;
            spec.Name = name + " " + std::to_string(d.Ships.size() + 1);
            spec.Type = type;
            spec.Displacement = type == TShipType::DD ? 1000 : 20000;
            spec.DesignSpeed = speed;
            spec.Speed = 15;
            AddShip(d, spec, map::MovePoint(origin, 0, yards));
        }
        if (inForce) {
            d.Force = force;
            force->Divisions.push_back(&d);
        }
        return d;
    }

    template <typename T> T* Widget(const char* name) {
        T* w = dialog.findChild<T*>(name);
        if (w == nullptr) {
            qFatal("The dialog has no widget named %s", name);
        }
        return w;
    }
    QPushButton* Button(const char* name) { return Widget<QPushButton>(name); }
    QSpinBox* Spin(const char* name) { return Widget<QSpinBox>(name); }
    QComboBox* Combo(const char* name) { return Widget<QComboBox>(name); }
    QCheckBox* Check(const char* name) { return Widget<QCheckBox>(name); }
    QString Label(const char* name) { return Widget<QLabel>(name)->text(); }

    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    // On the box itself: a check box takes clicks on its box and caption only.
    void Tick(const char* name) {
        QCheckBox* box = Check(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
    }
    void Ok() { Click("ok"); }
    void Cancel() { Click("cancel"); }
    void Choose(const char* box, const QString& text) {
        const int index = Combo(box)->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        Combo(box)->setCurrentIndex(index);
    }
    QStringList Items(const char* box) {
        QStringList items;
        for (int i = 0; i < Combo(box)->count(); ++i) {
            items << Combo(box)->itemText(i);
        }
        return items;
    }
};

} // namespace

class DivisionReportTest : public QObject {
    Q_OBJECT
private slots:
    void courseShowsTheDivisionsOwnCourseFor999() {
        const struct {
            int passed, shown;
        } cases[] = {{TdlgDivisionReport::kOwnCourse, 90}, {45, 45}, {0, 0}, {370, 10}};
        for (const auto& c : cases) {
            TGame game;
            game.dialog.Open(game.lightCruisers, c.passed);
            QCOMPARE(game.Spin("course")->value(), c.shown);
            QCOMPARE(game.lightCruisers->Course, 90); // only shown until Ok
        }
    }

    void openingFillsTheOrdersOfTheDivision() {
        TGame game;
        TDivision& d = *game.lightCruisers;
        d.Formation = combat::formLineAbreast;
        d.Role = combat::roleScout;
        d.TurnTogether = true;
        d.LeadDiv = game.battleCruisers;
        d.MakeSmoke = true;
        d.HoldTorpedoFire = true;
        game.dialog.Open(&d);
        QVERIFY(game.dialog.isVisible());
        QCOMPARE(game.dialog.windowTitle(), QString("2nd LCS"));
        QCOMPARE(game.Combo("formation")->currentText(), QString("Line abreast"));
        QCOMPARE(game.Combo("role")->currentText(), QString("Scout"));
        QVERIFY(game.Check("turnTogether")->isChecked());
        QVERIFY(game.Button("makeSmoke")->isChecked());
        QVERIFY(game.Button("holdTorpedoFire")->isChecked());
        // Every other division of the force, by name and flagship.
        QCOMPARE(game.Items("leadDivision"),
                 QStringList({"None", "1st BCS (1st BCS 1)", "13th Flotilla (13th Flotilla 1)"}));
        QCOMPARE(game.Combo("leadDivision")->currentText(), QString("1st BCS (1st BCS 1)"));
        // A light cruiser may take any role and formation; battle cruisers may not support.
        QCOMPARE(game.Items("role").size(), 6);
        QCOMPARE(game.Items("formation").size(), 4);
        game.dialog.Open(game.battleCruisers);
        QCOMPARE(game.Items("role"),
                 QStringList({"Independent", "Core", "Scout", "Screen", "Patrol"}));
        QCOMPARE(game.Combo("leadDivision")->currentText(), QString("None"));
    }

    void aRoleTheScenarioGaveIsShownAndKept() {
        TGame game;
        TDivision& d = *game.battleCruisers;
        // A role the player could not choose for battle cruisers, as a scenario may give it.
        d.Role = combat::roleSupport;
        d.DivisionName = " 1st BCS";
        game.dialog.Open(&d);
        QCOMPARE(game.dialog.windowTitle(), QString("1st BCS"));
        QVERIFY(game.Items("role").contains("Support"));
        QCOMPARE(game.Combo("role")->currentText(), QString("Support"));
        game.Ok();
        QVERIFY(!game.dialog.isVisible());
        QCOMPARE(d.Role, int(combat::roleSupport));
        QVERIFY(game.messages.Texts().empty());
    }

    void theFlotillaAttackButtonSaysWhatIsOrdered() {
        TGame game;
        game.dialog.Open(game.battleCruisers);
        QPushButton* attack = game.Button("flotillaAttack");
        QVERIFY(!attack->isHidden());
        QCOMPARE(attack->text(), QString("Order flotilla attack"));
        QVERIFY(!attack->toolTip().isEmpty());
        game.Click("flotillaAttack");
        QCOMPARE(attack->text(), QString("Flotilla attack ordered"));
        game.Ok();
        QVERIFY(game.force->FlotillaAttack);
        // Only the force flagship's division orders its flotillas.
        game.dialog.Open(game.lightCruisers);
        QVERIFY(game.Button("flotillaAttack")->isHidden());
    }

    void theSpeedBoxReachesWhatTheShipsCanMakeAndOpeningChangesNothing() {
        TGame game;
        TDivision& d = *game.battleCruisers;
        d.Ships[0]->EngineEfficiency = 50; // 14 knots: the second ship's 27 is the best
        d.Speed = 30;
        game.dialog.Open(&d);
        QCOMPARE(game.Spin("speed")->maximum(), 27);
        QCOMPARE(game.Spin("speed")->value(), 27);
        game.Cancel();
        QCOMPARE(d.Speed, 30); // a window opened and cancelled changes nothing in the game
        game.dialog.Open(&d);
        game.Ok();
        QCOMPARE(d.Speed, 27); // the order the window gives is within what the ships make
        QVERIFY(game.world.Journal.Entries().size() == 1);
    }

    void speedButtonsTakeTheShipsSpeeds() {
        TGame game; // the light cruisers make 21, 25 and 18 knots
        game.dialog.Open(game.lightCruisers);
        const struct {
            const char* button;
            int knots;
        } cases[] = {{"med", 21}, {"sqMax", 18}, {"maxSpeed", 25}};
        for (const auto& c : cases) {
            game.Spin("speed")->setValue(5);
            game.Click(c.button);
            QCOMPARE(game.Spin("speed")->value(), c.knots);
        }
        QCOMPARE(game.lightCruisers->Speed, 15); // the division's order waits for Ok
    }

    void areaSmokeIsShownButNotWritten() {
        const struct {
            int thick; // divisions nearby with more than 40 points of smoke
            QString label, warning;
        } cases[] = {
            {5, "DS: 45 SC: 10 CASP: 0", ""},
            {6, "DS: 45 SC: 12 CASP: 1",
             "Accumulated smoke in battle area. Sighting range reduced by 10%"},
            {11, "DS: 45 SC: 22 CASP: 2",
             "Accumulated smoke in battle area. Sighting range reduced by 20%"},
        };
        for (const auto& c : cases) {
            TGame game;
            game.destroyers->Accusmoke = 45;
            for (int i = 1; i < c.thick; ++i) {
                game.Add("Smoke " + std::to_string(i), TShipType::DD, {30}, 20'000, false)
                    .Accusmoke = 45;
            }
            // Out of the area: counts for nothing.
            game.Add("Far", TShipType::DD, {30}, 31'000, false).Accusmoke = 99;
            game.dialog.Open(game.destroyers);
            QCOMPARE(game.Label("smoke"), c.label);
            QCOMPARE(game.Label("smokeWarning"), c.warning);
            // The sighting rules keep the division's level; the window only shows the area.
            QCOMPARE(game.destroyers->BattleSmokeLevel, 0);
        }
    }

    void computerControlBoxByRealismAndLock() {
        enum { flagshipDivision, otherDivision, otherUnderAI, locked };
        const struct {
            int realism, which;
            bool enabled;
        } cases[] = {
            {0, flagshipDivision, false}, {0, otherDivision, true}, {0, otherUnderAI, false},
            {1, flagshipDivision, true},  {1, otherUnderAI, true},  {2, flagshipDivision, true},
            {2, locked, false},
        };
        for (const auto& c : cases) {
            TGame game;
            game.world.Preferences.RealismSetting = c.realism;
            TDivision* d = c.which == flagshipDivision ? game.battleCruisers : game.lightCruisers;
            d->AIControl = c.which == otherUnderAI;
            d->LockedAI = c.which == locked;
            game.dialog.Open(d);
            const QString what = QString("realism %1 case %2").arg(c.realism).arg(c.which);
            QVERIFY2(game.Check("aiControl")->isEnabled() == c.enabled, qPrintable(what));
            if (c.which == locked) {
                QVERIFY(game.Check("aiControl")->isChecked()); // forced on
                QVERIFY(!game.Combo("role")->isEnabled());
                QVERIFY(!game.Combo("leadDivision")->isEnabled());
            }
        }
    }

    void theComputerControlBoxTakesTheSteeringAway() {
        TGame game;
        game.dialog.Open(game.destroyers);
        const char* steering[] = {"course",     "speed", "formation", "turnTogether",
                                  "pickCourse", "med",   "sqMax"};
        for (const char* name : steering) {
            QVERIFY2(game.dialog.findChild<QWidget*>(name)->isEnabled(), name);
        }
        QVERIFY(game.Button("makeSmoke")->isEnabled());
        game.Tick("aiControl");
        for (const char* name : steering) {
            QVERIFY2(!game.dialog.findChild<QWidget*>(name)->isEnabled(), name);
        }
        QVERIFY(!game.Button("makeSmoke")->isEnabled());
        QVERIFY(game.Combo("role")->isEnabled());
    }

    void fireAndSmokeOrdersOnlyForLightCraftOfLaterYears() {
        enum { bc, cl, dd };
        const struct {
            int which, realism, year;
            bool noOrdersBeforeSighting;
            bool enabled;
        } cases[] = {
            {dd, 1, 1916, false, true},  {cl, 2, 1916, false, true},  {bc, 1, 1916, false, false},
            {dd, 0, 1916, false, false}, {dd, 1, 1907, false, false}, {dd, 1, 1908, false, true},
            {dd, 1, 1916, true, false},
        };
        for (const auto& c : cases) {
            TGame game(c.year);
            game.world.Preferences.RealismSetting = c.realism;
            game.world.Environment.NoOrdersBS = c.noOrdersBeforeSighting;
            TDivision* d = c.which == bc   ? game.battleCruisers
                           : c.which == cl ? game.lightCruisers
                                           : game.destroyers;
            game.dialog.Open(d);
            const QString what =
                QString("%1 realism %2 in %3").arg(c.which).arg(c.realism).arg(c.year);
            for (const char* name : {"makeSmoke", "holdFire", "holdFire10", "holdTorpedoFire"}) {
                QVERIFY2(game.Button(name)->isEnabled() == c.enabled,
                         qPrintable(what + " " + name));
            }
        }
    }

    void holdFireButtonsSetTheHoldFireMinutes() {
        const struct {
            int before;
            std::vector<const char*> clicks;
            int after;
        } cases[] = {
            {0, {}, 0},
            {50, {}, 0}, // neither button shows it: both up clear it
            {INT_MAX, {}, INT_MAX},
            {INT_MAX, {"holdFire"}, 0},
            {7, {"holdFire10"}, 0},
            {0, {"holdFire"}, INT_MAX},
            {0, {"holdFire10"}, 10},
            {0, {"holdFire", "holdFire10"}, 10}, // pressing one releases the other
            {7, {"holdFire"}, INT_MAX},
        };
        for (const auto& c : cases) {
            TGame game;
            game.destroyers->HoldFireMinutes = c.before;
            game.dialog.Open(game.destroyers);
            for (const char* name : c.clicks) {
                game.Click(name);
            }
            QVERIFY(
                !(game.Button("holdFire")->isChecked() && game.Button("holdFire10")->isChecked()));
            game.Ok();
            QCOMPARE(game.destroyers->HoldFireMinutes, c.after);
        }
        // A hold the player cannot change here stays as it is.
        TGame game;
        game.destroyers->HoldFireMinutes = INT_MAX;
        game.destroyers->AIControl = true;
        game.dialog.Open(game.destroyers);
        game.Ok();
        QCOMPARE(game.destroyers->HoldFireMinutes, INT_MAX);
    }

    void aRoleNoLongerAllowedIsRefused() {
        TGame game;
        TDivision& d = *game.lightCruisers;
        d.Course = 90;
        game.dialog.Open(&d);
        game.Choose("role", "Scout");
        game.Spin("course")->setValue(180);
        // While the dialog is open the cruisers' flagship sinks and a destroyer leads.
        d.Ships.insert(d.Ships.begin(), game.destroyers->Ships.back());
        game.Ok();
        QCOMPARE(game.messages.Texts().back(),
                 std::string("Role Scout is not allowed for a DD-division"));
        QCOMPARE(d.Role, int(combat::roleIndependent));
        QCOMPARE(game.Combo("role")->currentText(), QString("Independent"));
        QCOMPARE(d.Course, 90); // nothing else was written
        QVERIFY(game.dialog.isVisible());
        game.Ok(); // Independent is always allowed
        QVERIFY(!game.dialog.isVisible());
        QCOMPARE(d.Course, 180);
    }

    void okWritesTheOrders() {
        TGame game;
        TDivision& d = *game.lightCruisers;
        TDivision* changed = nullptr;
        QObject::connect(&game.dialog, &TdlgDivisionReport::divisionChanged,
                         [&](TDivision* division) { changed = division; });
        game.dialog.Open(&d);
        game.Spin("course")->setValue(355);
        game.Spin("course")->stepUp(); // 360: north
        game.Spin("speed")->setValue(22);
        game.Choose("formation", "Search line");
        game.Choose("role", "Patrol");
        game.Tick("turnTogether");
        game.Tick("aiControl");
        game.Choose("leadDivision", "1st BCS (1st BCS 1)");
        game.Click("makeSmoke");
        game.Click("holdTorpedoFire");
        game.Ok();
        QVERIFY(!game.dialog.isVisible());
        QCOMPARE(changed, &d);
        QCOMPARE(d.Course, 0);
        QCOMPARE(d.Speed, 22);
        QCOMPARE(d.Formation, int(combat::formSearchLine));
        QCOMPARE(d.Role, int(combat::rolePatrol));
        QVERIFY(d.TurnTogether);
        QVERIFY(d.AIControl);
        QCOMPARE(d.LeadDiv, game.battleCruisers);
        // The smoke and torpedo buttons went grey with the computer's control: not written.
        QVERIFY(!d.MakeSmoke);
        QVERIFY(!d.HoldTorpedoFire);
        // A patrol watches over the place where the order was given.
        QVERIFY(d.Objective == d.Flagship()->Position());
    }

    void cancelChangesNothing() {
        TGame game;
        TDivision& d = *game.destroyers;
        d.HoldFireMinutes = 50;
        bool changed = false;
        QObject::connect(&game.dialog, &TdlgDivisionReport::divisionChanged,
                         [&] { changed = true; });
        game.dialog.Open(&d, 200);
        game.Spin("speed")->setValue(30);
        game.Choose("formation", "Screen");
        game.Choose("role", "Screen");
        game.Choose("leadDivision", "1st BCS (1st BCS 1)");
        game.Tick("turnTogether");
        game.Click("holdFire");
        game.Click("makeSmoke");
        game.Click("holdTorpedoFire");
        game.Tick("aiControl");
        game.Cancel();
        QVERIFY(!game.dialog.isVisible());
        QVERIFY(!changed);
        QCOMPARE(d.Course, 90);
        QCOMPARE(d.Speed, 15);
        QCOMPARE(d.Formation, int(combat::formLineAhead));
        QCOMPARE(d.Role, int(combat::roleIndependent));
        QCOMPARE(d.LeadDiv, nullptr);
        QVERIFY(!d.TurnTogether && !d.AIControl && !d.MakeSmoke && !d.HoldTorpedoFire);
        QCOMPARE(d.HoldFireMinutes, 50);
    }

    void flotillaAttackOnlyForTheForceFlagshipsDivision() {
        TGame game;
        bool shown = false;
        QObject::connect(&game.dialog, &TdlgDivisionReport::flotillaAttackDisplayChanged,
                         [&](bool on) { shown = on; });
        game.dialog.Open(game.destroyers);
        QVERIFY(game.Button("flotillaAttack")->isHidden());
        game.dialog.Open(game.battleCruisers);
        QVERIFY(!game.Button("flotillaAttack")->isHidden());
        game.Click("flotillaAttack");
        QVERIFY(shown);
        QVERIFY(!game.force->FlotillaAttack); // the order itself waits for Ok
        game.Ok();
        QVERIFY(game.force->FlotillaAttack);
    }

    void theShipList() {
        TGame game;
        TDivision& d = *game.lightCruisers;
        TFightingShip& first = *d.Ships[0];
        first.TimeToRaiseSteam = 12;
        first.FireLevel = 2;
        first.CurrentSpeed = 30; // more than its 21 knots
        first.HeavyHits = 1;
        first.MediumHits = 2;
        first.LightHits = 3;
        first.TorpedoHits = 4;
        first.CurrentEndurance = first.MaxEndurance / 4;
        TFightingShip& enemy = *game.Add("Enemy", TShipType::BC, {26}, 12'000, false).Ships[0];
        enemy.Side = 1;
        enemy.SightingLevel = combat::kTypeIdentified;
        enemy.IdentifiedType = "BC";
        first.CurrentTarget = &enemy;
        first.Calibre[1] = 12;
        designs::TGunRow twelve;
        twelve.Penetration[0] = 10;
        twelve.RateOfFire = 2.0F;
        twelve.MaxRange = 16;
        game.world.WeaponTables.SetRow(12, twelve);
        first.Turrets.resize(2);
        first.Turrets[0].Guns = first.Turrets[1].Guns = 2;
        first.Turrets[1].Destroyed = true;
        first.TorpedoMounts.resize(2);
        first.TorpedoMounts[0].Tubes = first.TorpedoMounts[0].TorpsLeft = 2;
        first.TorpedoMounts[1].Tubes = 4;
        first.TorpedoMounts[1].TorpsLeft = 1;
        d.Ships[1]->Sinking = 2;
        d.Ships[2]->Sunk = true;
        game.world.Preferences.RealismSetting = 2;
        game.dialog.Open(&d, TdlgDivisionReport::kOwnCourse, d.Ships[1]);

        QTreeWidget* list = game.Widget<QTreeWidget>("ships");
        QCOMPARE(list->topLevelItemCount(), 3);
        const QTreeWidgetItem* row = list->topLevelItem(0);
        QCOMPARE(row->text(TdlgDivisionReport::colName),
                 QString("2nd LCS 1 (Raising steam 12 minutes left)"));
        QCOMPARE(row->text(TdlgDivisionReport::colSpeed), QString("21"));
        QCOMPARE(first.CurrentSpeed, 30); // shown at what it can make, but left as it is
        QCOMPARE(row->text(TdlgDivisionReport::colMaxSpeed), QString("21 (21)"));
        QVERIFY(row->text(TdlgDivisionReport::colDamage).endsWith("% On fire!"));
        QCOMPARE(row->text(TdlgDivisionReport::colHits), QString("1-2-3-4"));
        QCOMPARE(row->text(TdlgDivisionReport::colGuns), QString("2/4"));
        // The main target as the lookouts know it (its type only), its range and the main
        // guns' hit chance.
        const auto estimate = engine::EstimateGunnery(game.world, first, 1);
        QVERIFY(estimate.has_value());
        QVERIFY(estimate->RangeYards > 11'900 && estimate->RangeYards < 12'100);
        QVERIFY(estimate->HitChance > 0.0);
        QCOMPARE(
            row->text(TdlgDivisionReport::colMainTarget),
            QString("BC %1 yds %2%").arg(estimate->RangeYards).arg(estimate->HitChance, 0, 'f', 1));
        QCOMPARE(row->text(TdlgDivisionReport::colTorpedoes), QString("3/6"));
        QCOMPARE(row->text(TdlgDivisionReport::colFuel), QString("25%"));
        QCOMPARE(row->text(TdlgDivisionReport::colRange),
                 QString::number(first.GetRemainingRange(18, game.messages)));
        QCOMPARE(list->topLevelItem(1)->text(TdlgDivisionReport::colDamage), QString("Sinking!"));
        QCOMPARE(list->topLevelItem(2)->text(TdlgDivisionReport::colDamage), QString("Sunk!"));
        QCOMPARE(list->topLevelItem(2)->text(TdlgDivisionReport::colMainTarget), QString("-"));
        QCOMPARE(list->topLevelItem(2)->text(TdlgDivisionReport::colRange), QString("0"));

        // The ship passed in is selected; in Captain's mode it may be given targets.
        QCOMPARE(game.dialog.SelectedShip(), d.Ships[1]);
        QVERIFY(game.Button("shipDetails")->isEnabled());
        QVERIFY(game.Button("setShipTarget")->isEnabled());
        QVERIFY(game.Button("fireTorpedoes")->isEnabled());
        TFightingShip* targetFor = nullptr;
        QObject::connect(&game.dialog, &TdlgDivisionReport::shipTargetRequested,
                         [&](TFightingShip* ship) { targetFor = ship; });
        game.Click("setShipTarget");
        QCOMPARE(targetFor, d.Ships[1]);
        QVERIFY(!game.dialog.isVisible());

        // Below Captain's mode ships take their targets from their division.
        game.world.Preferences.RealismSetting = 1;
        game.dialog.Open(&d);
        QVERIFY(!game.Button("shipDetails")->isEnabled());
        list->topLevelItem(0)->setSelected(true);
        QVERIFY(game.Button("shipDetails")->isEnabled());
        QVERIFY(!game.Button("setShipTarget")->isEnabled());
        QVERIFY(!game.Button("fireTorpedoes")->isEnabled());
    }

    void pickingACourseHidesTheDialogUntilTheCourseIsPicked() {
        TGame game;
        int picks = 0;
        QObject::connect(&game.dialog, &TdlgDivisionReport::pickCourseRequested, [&] { ++picks; });
        game.dialog.Open(game.lightCruisers);
        game.Click("pickCourse");
        QCOMPARE(picks, 1);
        QVERIFY(!game.dialog.isVisible());
        game.dialog.SetPickedCourse(237);
        QVERIFY(game.dialog.isVisible());
        QCOMPARE(game.Spin("course")->value(), 237);
        game.Ok();
        QCOMPARE(game.lightCruisers->Course, 237);
    }

    void aDivisionLeavingTheGameClosesTheDialogUnchanged() {
        TGame game;
        game.dialog.Open(game.lightCruisers);
        game.dialog.DivisionLeaving(game.destroyers); // in the lead list
        QVERIFY(!game.dialog.isVisible());
        QCOMPARE(game.dialog.Division(), nullptr);
        game.dialog.SetPickedCourse(10); // a late answer from the chart does nothing
        QVERIFY(!game.dialog.isVisible());
        game.dialog.Open(game.lightCruisers);
        game.dialog.ShipLeaving(game.battleCruisers->Ships[0]); // not shown here
        QVERIFY(game.dialog.isVisible());
        game.dialog.ShipLeaving(game.lightCruisers->Ships[2]);
        QVERIFY(!game.dialog.isVisible());
    }
};

QTEST_MAIN(DivisionReportTest)
#include "DivisionReportTest.moc"
