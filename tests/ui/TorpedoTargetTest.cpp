// The torpedo window over a small hand-made world: one of the player's destroyers with three
// mounts, and an enemy light cruiser 3000 yards on her starboard beam.

#include "ui/TorpedoTarget.h"

#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "engine/Orders.h"
#include "engine/Torpedo.h"
#include "support/TestWorld.h"
#include "ui/DivisionReport.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <string>

using namespace tarnwake;
using combat::TFightingShip;
using designs::TShipType;
using ui::TdlgTorpedoTarget;

namespace {

designs::TFightingTorpedoMount Mount(char pos, int torpedoes) {
    designs::TFightingTorpedoMount mount;
    mount.Pos = pos;
    mount.Tubes = std::max(torpedoes, 1);
    mount.TorpsLeft = torpedoes;
    return mount;
}

struct TGame : tarnwake::testing::TTestWorld {
    TFightingShip* destroyer = nullptr;
    TFightingShip* cruiser = nullptr;
    // Destroyed before the world it reads.
    TdlgTorpedoTarget dialog{world, messages};

    TGame() {
        world.PlayerSide = 0;
        world.Preferences.RealismSetting = engine::kRealismCaptain;
        destroyer = AddDivision("Laforey", 0, 0, 20, 1, origin, TShipType::DD, 1000).Flagship();
        destroyer->TorpedoMounts = {Mount('A', 1), Mount('I', 2), Mount('Y', 0)};
        cruiser =
            AddDivision("Stralsund", 1, 0, 15, 1, At(90, 3000), TShipType::CL, 4500).Flagship();
        cruiser->SightingLevel = combat::kClassIdentified;
        cruiser->IdentifiedType = "CL";
        cruiser->ReportedClass = "Stralsund";
        destroyer->Sighted = {cruiser};
        destroyer->CurrentTarget = cruiser;
    }

    QListWidget* List(const char* name) { return dialog.findChild<QListWidget*>(name); }
    void Click(const char* name) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton);
    }
};

} // namespace

class TorpedoTargetTest : public QObject {
    Q_OBJECT
private slots:
    void theMountsShowTheirSettingAndCourseAgainstTheChosenTarget() {
        TGame game;
        game.dialog.Open(game.destroyer);
        QVERIFY(game.dialog.isVisible());
        QCOMPARE(game.dialog.windowTitle(), QString("Torpedo fire: Laforey"));
        if (qEnvironmentVariableIsSet("TARNWAKE_PICTURE")) {
            game.dialog.grab().save(qEnvironmentVariable("TARNWAKE_PICTURE"));
        }
        QCOMPARE(game.List("targets")->count(), 1);
        QCOMPARE(game.List("targets")->item(0)->text(), QString("CL Stralsund 3000 yds"));
        QListWidget* mounts = game.List("mounts");
        QCOMPARE(mounts->count(), 3);
        QCOMPARE(mounts->item(0)->text(), QString("Forward (sub) Out of arc "));
        QCOMPARE(mounts->item(2)->text(), QString("Aft (sub) Expended "));
        // The swivel mount fires at the fast setting about 24 degrees ahead of her bearing; the
        // window's doubt moves the course a degree or two.
        const combat::TTorpedoMountLine& line = game.dialog.Lines()[1];
        QCOMPARE(line.Mount, 1);
        QCOMPARE(line.Setting, combat::TTorpedoSetting::High);
        QVERIFY2(line.Course >= 64 && line.Course <= 68, std::to_string(line.Course).c_str());
        QCOMPARE(mounts->item(1)->text().toStdString(),
                 "Starboard broadside swivel mount HIGH " + std::to_string(line.Course));
        // Only a line with a course can be chosen.
        QVERIFY(!(mounts->item(0)->flags() & Qt::ItemIsSelectable));
        QVERIFY(mounts->item(1)->flags() & Qt::ItemIsSelectable);
        // The doubt came from the cosmetic generator: the game's has not moved.
        QCOMPARE(game.world.Random().Random(1000), core::TRandomGenerator(1).Random(1000));
    }

    void fireLaunchesTheChosenMountAsAnOrder() {
        TGame game;
        game.dialog.Open(game.destroyer);
        game.Click("fire");
        QCOMPARE(game.messages.Texts().back(), std::string(engine::kNoMountSelected));
        QVERIFY(game.world.Torpedoes.empty());

        int fired = 0;
        QObject::connect(&game.dialog, &TdlgTorpedoTarget::torpedoesFired,
                         [&](TFightingShip* ship) { fired += ship == game.destroyer ? 1 : 0; });
        game.List("mounts")->setCurrentRow(1);
        const int course = game.dialog.Lines()[1].Course;
        game.Click("fire");
        QCOMPARE(fired, 1);
        // Both tubes of the mount, the first on the course shown.
        QCOMPARE(game.world.Torpedoes.size(), std::size_t{2});
        QCOMPARE(game.world.Torpedoes[0]->Heading, course);
        QVERIFY(game.destroyer->FiredTorpedoesThisMinute);
        QCOMPARE(game.destroyer->TorpedoMounts[1].TorpsLeft, 0);
        QCOMPARE(game.world.Journal.Entries().size(), std::size_t{1});
        QCOMPARE(game.world.Journal.Entries()[0].Text,
                 "torpedoes " + std::to_string(game.destroyer->Id.Value) +
                     " mount=1 target=" + std::to_string(game.cruiser->Id.Value) +
                     " low=0 course=" + std::to_string(course));
        const auto& played = game.sound.Played();
        QVERIFY(std::find(played.begin(), played.end(), "TorpedoLaunch.wav") != played.end());
        QCOMPARE(game.List("mounts")->item(1)->text(),
                 QString("Starboard broadside swivel mount Expended "));

        // With the cruiser fine on the bow the bow tube bears; but one mount a minute by hand.
        game.cruiser->SetPosition(game.At(10, 3000));
        game.cruiser->SetCourse(270);
        game.dialog.Open(game.destroyer);
        QVERIFY(game.dialog.Lines()[0].Mount == 0);
        game.List("mounts")->setCurrentRow(0);
        game.Click("fire");
        QCOMPARE(game.messages.Texts().back(), std::string(engine::kMountFiredThisTurn));
        QCOMPARE(game.world.Torpedoes.size(), std::size_t{2});
    }

    void theOrdersWindowOpensItOnlyForAShipThatHasNotFired() {
        TGame game;
        ui::TdlgDivisionReport orders(game.world, game.messages);
        TFightingShip* requested = nullptr;
        QObject::connect(&orders, &ui::TdlgDivisionReport::torpedoTargetRequested,
                         [&](TFightingShip* ship) { requested = ship; });
        orders.Open(game.world.DivisionOfShip(game.destroyer), 999, game.destroyer);
        game.destroyer->FiredTorpedoesThisMinute = true;
        QTest::mouseClick(orders.findChild<QPushButton*>("fireTorpedoes"), Qt::LeftButton);
        QCOMPARE(requested, nullptr);
        QCOMPARE(game.messages.Texts().back(), std::string(engine::kMountFiredThisTurn));
        QVERIFY(orders.isVisible());
        game.destroyer->FiredTorpedoesThisMinute = false;
        QTest::mouseClick(orders.findChild<QPushButton*>("fireTorpedoes"), Qt::LeftButton);
        QCOMPARE(requested, game.destroyer);
        QVERIFY(!orders.isVisible());
    }
};

QTEST_MAIN(TorpedoTargetTest)
#include "TorpedoTargetTest.moc"
