// Orders given through the real windows are journaled, and the journal replayed headless
// reaches the same state; windows opened and cancelled change nothing in the game.

#include "GameFixture.h"
#include "combat/Division.h"
#include "engine/Digest.h"
#include "engine/GameSpeed.h"
#include "engine/Replay.h"
#include "ui/DivisionReport.h"
#include "ui/GameController.h"
#include "ui/MainWindow.h"
#include "ui/ShipStatus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace tarnwake;
using ui::TfrmMain;

namespace {

constexpr int kRunTimeout = 20000; // ms

struct TGame : tarnwake::testing::TStartedWindow {
    // Runs minutes with the window's own timers, as the player's "Run 5 minutes" does.
    bool Run(int minutes) {
        const int until = world.TimeElapsed + minutes;
        window.Controller().Run(minutes);
        return QTest::qWaitFor([&] { return !window.Controller().Running(); }, kRunTimeout) &&
               world.TimeElapsed == until;
    }

    // Opens the orders window of a division, changes everything in it, and cancels; then the
    // status window of its flagship, and closes it.
    void LookAndCancel(combat::TDivision& division) {
        window.ShowDivisionOrders(&division);
        ui::TdlgDivisionReport* dialog = window.DivisionOrdersWindow();
        dialog->findChild<QSpinBox*>("speed")->setValue(3);
        dialog->findChild<QSpinBox*>("course")->setValue(17);
        QComboBox* formation = dialog->findChild<QComboBox*>("formation");
        formation->setCurrentIndex(formation->count() - 1);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cancel"), Qt::LeftButton);
        window.ShowShipStatus(division.Flagship());
        window.ShipStatusWindow()->close();
    }

    std::string Digest() const { return engine::DigestHex(engine::StateDigest(world)); }
};

} // namespace

class WindowOrdersReplayTest : public QObject {
    Q_OBJECT
private slots:
    void ordersThroughTheWindowsReplayHeadless() {
        TGame game;
        combat::TDivision* first = game.Orderable(0);
        combat::TDivision* second = game.Orderable(1);
        QVERIFY(first != nullptr && second != nullptr);
        game.window.Controller().SetSpeed(engine::kFastestSpeed);

        game.window.SelectDivision(first);
        const int course = (first->Course + 40) % 360;
        game.window.CourseBox()->setValue(course);
        QCOMPARE(first->Course, course);
        QTest::mouseClick(game.window.CruiseButton(), Qt::LeftButton);
        QVERIFY(game.Run(3));

        game.window.ShowDivisionOrders(second);
        ui::TdlgDivisionReport* dialog = game.window.DivisionOrdersWindow();
        dialog->findChild<QSpinBox*>("course")->setValue(300);
        dialog->findChild<QSpinBox*>("speed")->setValue(9);
        QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(second->Course, 300);
        QVERIFY(game.Run(4));

        game.window.SelectDivision(first);
        game.window.TurnTogetherBox()->click();
        QVERIFY(first->TurnTogether);
        QVERIFY(game.Run(3));

        const engine::TReplay replay = scenario::ReplayOfGame(game.world, game.setup);
        QCOMPARE(replay.Minutes, 10);
        QCOMPARE(replay.Journal.size(), std::size_t{5});
        QVERIFY(replay.Digest.has_value());

        tarnwake::testing::TStartedWorld replayed;
        QCOMPARE(engine::PlayBack(replayed.world, replay.Journal, replay.Minutes), 10);
        QCOMPARE(engine::StateDigest(replayed.world), *replay.Digest);
        QCOMPARE(replayed.world.Journal.Remaining(), std::size_t{0});
    }

    void windowsOpenedAndCancelledChangeNothing() {
        for (int speed : {engine::kNormalSpeed, engine::kFastestSpeed}) {
            TGame looked;
            TGame untouched;
            looked.window.Controller().SetSpeed(speed);
            untouched.window.Controller().SetSpeed(speed);
            combat::TDivision* division = looked.Orderable(0);
            QVERIFY(division != nullptr);
            for (int round = 0; round < 3; ++round) {
                looked.LookAndCancel(*division);
                QVERIFY(looked.Run(2));
                QVERIFY(untouched.Run(2));
            }
            QCOMPARE(looked.Digest(), untouched.Digest());
        }
    }
};

QTEST_MAIN(WindowOrdersReplayTest)
#include "WindowOrdersReplayTest.moc"
