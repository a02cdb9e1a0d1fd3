// What the main window shows besides the chart's own drawing: the ship status window from a
// right click, the double-click mark, the closing-in zoom at the start, the inset view and
// the order-of-battle tree's popup menu.

#include "GameFixture.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "engine/Objective.h"
#include "ui/ChartPainter.h"
#include "ui/ChartView.h"
#include "ui/DivisionReport.h"
#include "ui/MainWindow.h"
#include "ui/ShipStatus.h"

#include <QAction>
#include <QSpinBox>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWheelEvent>
#include <QtTest>

using namespace tarnwake;
using ui::TfrmMain;

namespace {

struct TGame : tarnwake::testing::TStartedWindow {
    explicit TGame(int playerSide = 0) : TStartedWindow(playerSide) {}

    QPoint PixelOf(const combat::TFightingShip& ship) const {
        const auto at = window.Chart()->PositionToPixel(ship.Position());
        return at ? at->toPoint() : QPoint(-1, -1);
    }

    combat::TFightingShip* ShipOfSide(int side) const {
        for (const auto& ship : world.Ships) {
            if (ship->Side == side) {
                return ship.get();
            }
        }
        return nullptr;
    }

    // Makes the tree node of a division or ship current, as a right click on it would.
    void MakeCurrent(const combat::TDivision* division) { MakeCurrent(2, division->Id.Value); }
    void MakeCurrent(const combat::TFightingShip* ship) { MakeCurrent(3, ship->Id.Value); }
    // The tree keeps each node's kind and the id of the force, division or ship it stands for.
    void MakeCurrent(int kind, int id) {
        for (QTreeWidgetItemIterator it(window.ShipTree()); *it != nullptr; ++it) {
            if ((*it)->data(0, Qt::UserRole).toInt() == kind &&
                (*it)->data(0, Qt::UserRole + 1).toInt() == id) {
                window.ShipTree()->setCurrentItem(*it);
                return;
            }
        }
        QFAIL("no tree node");
    }
};

} // namespace

class MainWindowViewsTest : public QObject {
    Q_OBJECT
private slots:
    void aRightClickOnAShipShowsItsStatusOnlyWhenThePlayerMayKnowIt() {
        TGame game;
        combat::TFightingShip* own = game.ShipOfSide(0);
        combat::TFightingShip* enemy = game.ShipOfSide(1);
        QVERIFY(own != nullptr && enemy != nullptr);
        game.window.Chart()->SetCentre(own->Position());
        game.window.Chart()->SetAltitude(3 * 90'000.0);
        QTest::mouseClick(game.window.Chart(), Qt::RightButton, {}, game.PixelOf(*own));
        ui::TdlgShipStatus* status = game.window.ShipStatusWindow();
        QVERIFY(status != nullptr && status->isVisible());
        QCOMPARE(status->Ship(), own);
        QVERIFY(!status->Reduced());
        status->hide();

        // An enemy shows only once its class is made out, and then only from outside.
        enemy->SightingLevel = 2;
        game.window.ShowShipStatus(enemy);
        QVERIFY(!status->isVisible());
        enemy->SightingLevel = 3;
        game.window.ShowShipStatus(enemy);
        QVERIFY(status->isVisible());
        QCOMPARE(status->Ship(), enemy);
        QVERIFY(status->Reduced());
    }

    void aDoubleClickMarksThePointAndASingleClickClearsIt() {
        TGame game;
        TfrmMain& w = game.window;
        const QPoint at(200, 150);
        // What a double click sends a widget: a click, the double click, its release.
        QTest::mouseClick(w.Chart(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w.Chart(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(w.Chart(), Qt::LeftButton, {}, at);
        QVERIFY(w.MarkedPoint().has_value());
        QCOMPARE(*w.MarkedPoint(), *w.Chart()->PixelToPosition(at));
        QTest::mouseClick(w.Chart(), Qt::LeftButton, {}, QPoint(300, 300));
        QVERIFY(!w.MarkedPoint().has_value());
    }

    void theOpeningZoomClosesInOnThePlayersShipsAndStopsInTime() {
        TGame game;
        TfrmMain& w = game.window;
        w.Chart()->ShowWholeChart();
        const double start = w.Chart()->Altitude();
        w.ZoomAtStart(true);
        QVERIFY(w.AutoZooming());
        // The wheel takes the zoom back from the computer.
        QWheelEvent wheel(QPointF(50, 50), w.Chart()->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.Chart(), &wheel);
        QVERIFY(!w.AutoZooming());

        w.Chart()->ShowWholeChart();
        w.ZoomAtStart(false);
        QVERIFY(w.Chart()->Altitude() < start);
        QVERIFY(w.Chart()->Altitude() >= TfrmMain::kAutoZoomFloor);
        // Every ship of the player's is in sight where the zoom ends, and one more step
        // would leave the test's margins.
        for (const auto& ship : game.world.Ships) {
            if (ship->Side == 0) {
                const auto at = w.Chart()->PositionToPixel(ship->Position());
                QVERIFY(at && QRectF(w.Chart()->rect()).contains(*at));
            }
        }
        QVERIFY(!w.AutoZoomStep());
    }

    void theInsetFollowsTheSelectionUnlessLocked() {
        TGame game;
        TfrmMain& w = game.window;
        w.Action("Show enlarged inset view")->trigger();
        QVERIFY(w.Inset()->isVisible());
        QVERIFY(w.InsetShip() != nullptr);
        QCOMPARE(w.InsetShip()->Side, 0);
        QCOMPARE(w.Inset()->Centre(), w.InsetShip()->Position());

        combat::TDivision* screen = game.DivisionNamed("4th Flotilla");
        QVERIFY(screen != nullptr);
        w.SelectDivision(screen);
        QCOMPARE(w.InsetShip(), screen->Flagship());

        w.Action("Lock to current ship")->trigger();
        w.SelectDivision(game.DivisionNamed("1st BS"));
        QCOMPARE(w.InsetShip(), screen->Flagship());

        w.Action("Show enlarged inset view")->trigger();
        QVERIFY(!w.Inset()->isVisible());
    }

    void theTreeMenuRefusesWhatThePlayerMayNotDo() {
        TGame game;
        TfrmMain& w = game.window;
        combat::TDivision* division = game.DivisionNamed("4th BS");
        QVERIFY(division != nullptr);

        struct TCase {
            int realism;
            bool onShip;
            const char* message; // empty: none
        };
        const TCase cases[] = {
            {1, true, "No manual targeting for ships on this setting!"},
            {1, false, "No manual targeting on this setting!"},
            {0, false, "No manual targeting on this setting!"},
        };
        for (const TCase& c : cases) {
            game.world.Preferences.RealismSetting = c.realism;
            if (c.onShip) {
                game.MakeCurrent(division->Flagship());
            } else {
                game.MakeCurrent(division);
            }
            game.messages.Clear();
            w.TreeCommand("Set target...");
            QCOMPARE(QString::fromStdString(game.LastMessage()), QString(c.message));
        }

        division->AIControl = true;
        game.MakeCurrent(division);
        w.TreeCommand("Status...");
        QCOMPARE(game.LastMessage(), std::string("Division is under AI control!"));
        game.MakeCurrent(division->Flagship());
        w.TreeCommand("Status...");
        QCOMPARE(game.LastMessage(), std::string("Ship is under AI control!"));
        division->AIControl = false;
        w.TreeCommand("Status...");
        QVERIFY(w.ShipStatusWindow() != nullptr && w.ShipStatusWindow()->isVisible());

        combat::TFightingShip* rear = division->RearShip();
        game.MakeCurrent(rear);
        w.TreeCommand("Center map");
        QCOMPARE(w.Chart()->Centre(), rear->Position());
    }

    void detachSendsHomeADamagedShipOnceConfirmed() {
        TGame game;
        combat::TDivision* division = game.DivisionNamed("4th BS");
        QVERIFY(division != nullptr);
        combat::TFightingShip* benbow = division->RearShip();
        game.MakeCurrent(benbow);
        game.window.TreeCommand("Detach");
        QCOMPARE(game.LastMessage(), std::string("Ship is not sufficiently damaged to detach!"));

        benbow->TorpedoHits = 1;
        game.messages.QueueAnswer(core::btNo);
        game.window.TreeCommand("Detach");
        QCOMPARE(game.LastMessage(),
                 std::string("Do you want to detach Benbow and send her home to closest "
                             "friendly base?"));
        QVERIFY(game.DivisionNamed("Benbow *") == nullptr);

        game.messages.QueueAnswer(core::btYes);
        game.window.TreeCommand("Detach");
        combat::TDivision* home = game.DivisionNamed("Benbow *");
        QVERIFY(home != nullptr);
        QVERIFY(home->GoHome && home->AIControl);
        QCOMPARE(home->Flagship(), benbow);
        // The order of battle shows her division of her own.
        game.MakeCurrent(home);
    }

    void subordinatesAreTheOtherDivisionsOfTheForce() {
        TGame game;
        combat::TDivision* division = game.DivisionNamed("4th BS");
        const auto others = game.window.Subordinates(division);
        QCOMPARE(others.size() + 1, division->Force->Divisions.size());
        for (combat::TDivision* other : others) {
            QVERIFY(other != division);
            QCOMPARE(other->Force, division->Force);
        }
        game.window.GoToDivision(others.back());
        QCOMPARE(game.window.SelectedDivision(), others.back());
        QCOMPARE(game.window.Chart()->Centre(), others.back()->Flagship()->Position());
    }

    void aRightClickOnAFlagGivesTheDivisionItsOrdersAndTheChartPicksForThem() {
        TGame game;
        TfrmMain& w = game.window;
        combat::TDivision* division = game.DivisionNamed("4th BS");
        game.world.Preferences.RealismSetting = 1;
        w.Chart()->SetCentre(division->Flagship()->Position());
        w.Chart()->SetAltitude(20 * 90'000.0);
        const auto anchor = ui::FlagAnchor(*division, w.Chart()->Projection());
        QVERIFY(anchor.has_value());
        const QPoint flag = ui::FlagBox(*anchor).center().toPoint();
        QTest::mouseClick(w.Chart(), Qt::RightButton, {}, flag);
        ui::TdlgDivisionReport* orders = w.DivisionOrdersWindow();
        QVERIFY(orders != nullptr && orders->isVisible());
        QCOMPARE(orders->Division(), division);
        QCOMPARE(w.SelectedDivision(), division);

        // "Pick course from map": the chart's next click sets the window's course field.
        auto* course = orders->findChild<QSpinBox*>("course");
        QVERIFY(course != nullptr);
        emit orders->pickCourseRequested();
        QVERIFY(w.PickingCourseForOrders());
        const QPoint east = anchor->toPoint() + QPoint(200, 0);
        QTest::mouseClick(w.Chart(), Qt::LeftButton, {}, east);
        QVERIFY(!w.PickingCourseForOrders());
        QVERIFY(orders->isVisible());
        QVERIFY2(std::abs(course->value() - 90) <= 1, qPrintable(QString::number(course->value())));

        // Selecting a target: a click on an enemy's flag makes it the division's target.
        combat::TDivision* enemy = game.DivisionNamed("III. Geschwader");
        emit orders->divisionTargetRequested();
        QVERIFY(w.PickingDivisionTarget());
        w.Chart()->SetCentre(enemy->Flagship()->Position());
        const auto enemyAt = ui::FlagAnchor(*enemy, w.Chart()->Projection());
        QTest::mouseClick(w.Chart(), Qt::LeftButton, {}, enemyAt->toPoint());
        QCOMPARE(division->TargetDivision, enemy);
        QVERIFY(orders->isVisible());
    }

    void theEnemysObjectivesShowOnlyWhenAskedFor() {
        TGame game;
        QCOMPARE(game.world.Objectives.size(), std::size_t{2});
        const auto hidden = [&](int side) {
            for (const auto& objective : game.world.Objectives) {
                if (objective->Side == side) {
                    return objective->Marker->Hidden();
                }
            }
            return false;
        };
        QVERIFY(!hidden(0));
        QVERIFY(hidden(1));
        game.window.Action("Show all objectives")->trigger();
        QVERIFY(!hidden(1));
        game.window.Action("Show all objectives")->trigger();
        QVERIFY(hidden(1));
    }
};

QTEST_MAIN(MainWindowViewsTest)
#include "MainWindowViewsTest.moc"
