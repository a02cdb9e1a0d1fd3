// The main window's controls driving a real scenario: the clock buttons and keys, the orders
// panel, the speed buttons, the chart click and the zoom limit.

#include "GameFixture.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameSpeed.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"
#include "ui/ChartView.h"
#include "ui/GameController.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

using namespace tarnwake;
using ui::TfrmMain;

namespace {

// A window over the open-sea test scenario, the player commanding side 0; every message is
// recorded instead of shown.
struct TGame : tarnwake::testing::TStartedWindow {
    void Fastest() { window.Controller().SetSpeed(engine::kFastestSpeed); }
};

// Types into the course box as a player would, replacing what it shows.
void TypeCourse(TfrmMain& window, const QString& text) {
    QTest::keyClick(window.CourseBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window.CourseBox(), Qt::Key_Backspace);
    QTest::keyClicks(window.CourseBox(), text);
    QCOMPARE(window.CourseBox()->RawText(), text);
}

constexpr int kRunTimeout = 10000; // ms: a minute at the fastest speed takes a few

} // namespace

class MainWindowControlsTest : public QObject {
    Q_OBJECT
private slots:
    void theScenarioLoads() {
        TGame game;
        QVERIFY(!game.world.Divisions.empty());
        QVERIFY(game.Orderable() != nullptr);
        QCOMPARE(game.window.PauseCaption(), QString("Paused"));
        QCOMPARE(game.window.StatusPanel(TfrmMain::kClockPanel)->text(),
                 QString::fromStdString(game.world.ClockText()));
    }

    void turnRunsOneMinuteAndEnablesItsButtonAgain() {
        TGame game;
        game.Fastest();
        QAction* turn = game.window.Action("Turn");
        turn->trigger();
        QVERIFY(!turn->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!game.window.Controller().Running(), kRunTimeout);
        QCOMPARE(game.world.TimeElapsed, 1);
        QVERIFY(turn->isEnabled());
        // The clock and elapsed-time panels follow the minute.
        QCOMPARE(game.window.StatusPanel(TfrmMain::kElapsedPanel)->text(),
                 QString::fromStdString(game.world.ElapsedText()));
        QVERIFY(game.window.StatusPanel(TfrmMain::kElapsedPanel)
                    ->text()
                    .startsWith("Time elapsed 1 ("));
        // Nothing more runs on its own.
        QTest::qWait(100);
        QCOMPARE(game.world.TimeElapsed, 1);
    }

    void pauseDuringRunStopsAtTheEndOfTheMinute() {
        TGame game;
        game.Fastest();
        game.window.Action("Run")->trigger();
        QVERIFY(game.window.Controller().Running());
        QVERIFY(game.window.Action("Pause")->isEnabled());
        // Let a few minutes pass, then pause in the middle of the run.
        QTRY_VERIFY_WITH_TIMEOUT(game.world.TimeElapsed >= 2, kRunTimeout);
        game.window.Action("Pause")->trigger();
        const int atPause = game.world.TimeElapsed;
        if (game.window.Controller().Running()) {
            QCOMPARE(game.window.PauseCaption(), QString("Pause pending"));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!game.window.Controller().Running(), kRunTimeout);
        // The minute in progress finishes (or, between two minutes, the one already due
        // runs); then the clock stops.
        QCOMPARE(game.world.TimeElapsed, atPause + 1);
        QCOMPARE(game.window.PauseCaption(), QString("Paused"));
        QVERIFY(game.window.Action("Run")->isEnabled());
        QTest::qWait(100);
        QCOMPARE(game.world.TimeElapsed, atPause + 1);
    }

    void aDialogInsideAMinuteDoesNotLetTheNextMinuteStart() {
        TGame game;
        game.Fastest();
        // The end of the first minute opens something modal, as a message box raised by a
        // phase of the minute would: the timers keep firing inside its event loop.
        bool nested = false;
        int startedWhileOpen = -1;
        QObject::connect(&game.window.Controller(), &ui::TGameController::minuteFinished,
                         &game.window, [&] {
                             if (nested || game.world.TimeElapsed != 1) {
                                 return;
                             }
                             nested = true;
                             QTest::qWait(150);
                             startedWhileOpen =
                                 game.world.TimeElapsed - 1 + (game.world.SubStepsLeft > 0 ? 1 : 0);
                         });
        game.window.Action("Run 5 minutes")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!game.window.Controller().Running(), kRunTimeout);
        QVERIFY(nested);
        QCOMPARE(startedWhileOpen, 0);
        QCOMPARE(game.world.TimeElapsed, 5);
    }

    void aKeyboardDigitRunsThatManyMinutes() {
        TGame game;
        game.Fastest();
        QTest::keyClick(&game.window, Qt::Key_3);
        QTRY_VERIFY_WITH_TIMEOUT(!game.window.Controller().Running(), kRunTimeout);
        QCOMPARE(game.world.TimeElapsed, 3);
    }

    void theCourseBoxWrapsRoundTheCompass() {
        TGame game;
        combat::TDivision* division = game.Orderable();
        game.window.SelectDivision(division);
        QVERIFY(game.window.CourseBox()->isEnabled());
        game.window.CourseBox()->setValue(90);
        QCOMPARE(division->Course, 90);
        game.window.CourseBox()->setValue(360);
        QCOMPARE(game.window.CourseBox()->value(), 0);
        QCOMPARE(division->Course, 0);
        game.window.CourseBox()->stepDown();
        QCOMPARE(game.window.CourseBox()->value(), 359);
        QCOMPARE(division->Course, 359);
    }

    void enterInTheCourseBoxConfirmsInsteadOfRunning() {
        TGame game;
        game.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&game.window));
        combat::TDivision* division = game.Orderable();
        game.window.SelectDivision(division);
        game.window.CourseBox()->setFocus();
        TypeCourse(game.window, "120");
        QTest::keyClick(game.window.CourseBox(), Qt::Key_Return);
        QCOMPARE(division->Course, 120);
        QVERIFY(!game.window.Controller().Running());
        // Elsewhere, Enter runs the clock until stopped.
        game.window.ShipTree()->setFocus();
        QTest::keyClick(&game.window, Qt::Key_Return);
        QVERIFY(game.window.Controller().Running());
        game.window.Pause();
    }

    void invalidCoursesAreRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number") << "north"
                                      << "Not a valid course! Enter course in degrees!";
        QTest::newRow("empty") << ""
                               << "Not a valid course! Enter course in degrees!";
        QTest::newRow("above 360") << "361"
                                   << "Illegal value! Enter course as 0 - 360 degrees!";
        QTest::newRow("negative") << "-10"
                                  << "Illegal value! Enter course as 0 - 360 degrees!";
    }

    void invalidCoursesAreRefused() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        TGame game;
        combat::TDivision* division = game.Orderable();
        game.window.SelectDivision(division);
        game.window.CourseBox()->setValue(45);
        TypeCourse(game.window, typed);
        QVERIFY(!game.window.CommitOrderBoxes());
        QCOMPARE(QString::fromStdString(game.LastMessage()), message);
        QCOMPARE(division->Course, 45);
    }

    void theSpeedButtonsOrderTheirSpeeds() {
        TGame game;
        combat::TDivision* division = game.Orderable();
        game.window.SelectDivision(division);
        division->Speed = 3;
        game.window.CruiseButton()->click();
        QCOMPARE(division->Speed, TfrmMain::kCruiseSpeed);
        QCOMPARE(game.window.SpeedBox()->value(), 16);
        game.window.SqMaxButton()->click();
        QCOMPARE(division->Speed, division->SlowestSpeed());
        game.window.MedButton()->click();
        QCOMPARE(division->Speed, division->MedianSpeed());
    }

    void ordersWithoutADivisionSayNoDivisionSelected() {
        TGame game;
        QVERIFY(game.window.SelectedDivision() == nullptr);
        QVERIFY(!game.window.CruiseButton()->isEnabled());
        QVERIFY(!game.window.CourseBox()->isEnabled());
        // The box shows a valid course; there is nobody to give it to.
        QVERIFY(!game.window.CommitOrderBoxes());
        QCOMPARE(game.LastMessage(), std::string("No division selected"));
        game.window.CourseToPixel(QPointF(10, 10));
        QCOMPARE(game.messages.Texts().size(), std::size_t{2});
        QCOMPARE(game.LastMessage(), std::string("No division selected"));
    }

    void ordersAreRefusedForTheEnemyAndForComputerDivisions() {
        TGame game;
        for (const auto& d : game.world.Divisions) {
            if (d->Side != game.world.PlayerSide) {
                game.window.SelectDivision(d.get());
                QVERIFY(!game.window.CourseBox()->isEnabled());
                QVERIFY(!game.window.CruiseButton()->isEnabled());
                return;
            }
        }
        QFAIL("the test scenario has no enemy division");
    }

    void theSpeedButtonsStopAtTheLimits() {
        TGame game;
        for (int i = 0; i < 10; ++i) {
            game.window.SpeedUpButton()->click();
        }
        QCOMPARE(game.world.SpeedIndex, engine::kFastestSpeed);
        QVERIFY(!game.window.SpeedUpButton()->isEnabled());
        game.window.SpeedUp(); // refused at the limit even when called directly
        QCOMPARE(game.world.SpeedIndex, engine::kFastestSpeed);
        QCOMPARE(game.window.GameSpeedBox()->currentText(), QString("Ultra fast"));
        for (int i = 0; i < 20; ++i) {
            game.window.SpeedDown();
        }
        QCOMPARE(game.world.SpeedIndex, engine::kSlowestSpeed);
        QVERIFY(!game.window.SpeedDownButton()->isEnabled());
        QVERIFY(game.window.SpeedUpButton()->isEnabled());
        QCOMPARE(game.window.GameSpeedBox()->currentText(), QString("Real time"));
    }

    void aClickOnADivisionSelectsItAndItsTreeNode() {
        TGame game;
        QVERIFY(QTest::qWaitForWindowExposed(&game.window));
        combat::TDivision* division = game.Orderable();
        ui::TChartView* chart = game.window.Chart();
        chart->SetCentre(division->Flagship()->Position());
        QVERIFY(chart->SetAltitude(20 * 90'000.0));
        const auto at = chart->PositionToPixel(division->Flagship()->Position());
        QVERIFY(at.has_value());
        QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, at->toPoint());
        QCOMPARE(game.window.SelectedDivision(), division);
        const auto selected = game.window.ShipTree()->selectedItems();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.front()->text(0), QString::fromStdString(division->TreeText()));
        QVERIFY(game.window.CourseBox()->isEnabled());
        // And the other way: choosing a node in the tree selects its division.
        combat::TDivision* other = nullptr;
        for (const auto& d : game.world.Divisions) {
            if (d.get() != division && d->Side == game.world.PlayerSide) {
                other = d.get();
                break;
            }
        }
        QVERIFY(other != nullptr);
        const auto items = game.window.ShipTree()->findItems(
            QString::fromStdString(other->TreeText()), Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY(!items.isEmpty());
        game.window.ShipTree()->clearSelection();
        items.front()->setSelected(true);
        QCOMPARE(game.window.SelectedDivision(), other);
    }

    void aShiftClickSteersTheSelectedDivision() {
        TGame game;
        QVERIFY(QTest::qWaitForWindowExposed(&game.window));
        combat::TDivision* division = game.Orderable();
        game.window.SelectDivision(division);
        ui::TChartView* chart = game.window.Chart();
        chart->SetCentre(division->Flagship()->Position());
        QVERIFY(chart->SetAltitude(20 * 90'000.0));
        const auto at = chart->PositionToPixel(division->Flagship()->Position());
        QVERIFY(at.has_value());
        // Due east of the flagship on the screen, which is north-up at the centre.
        QTest::mouseClick(chart, Qt::LeftButton, Qt::ShiftModifier,
                          (*at + QPointF(150, 0)).toPoint());
        QVERIFY2(division->Course >= 88 && division->Course <= 92,
                 qPrintable(QString::number(division->Course)));
    }

    void zoomingOutIsRefusedAtTheLimit() {
        TGame game;
        ui::TChartView* chart = game.window.Chart();
        QVERIFY(chart->SetAltitude(ui::TChartView::kMaxAltitude / 1.1));
        const double before = chart->Altitude();
        game.window.Action("Zoom out")->trigger();
        QCOMPARE(chart->Altitude(), before);
        QTest::keyClick(&game.window, Qt::Key_Z);
        QCOMPARE(chart->Altitude(), before);
        game.window.Action("Zoom in")->trigger();
        QCOMPARE(chart->Altitude(), before * ui::TChartView::kZoomInFactor);
    }

    void endGameAsksAndEndsOnlyOnOk() {
        TGame game;
        game.messages.QueueAnswer(core::btCancel);
        game.window.EndGame();
        QVERIFY(!game.world.ScenarioFinished);
        QVERIFY(game.LastMessage().find("Exit scenario? You will not get any victory") == 0);
        game.messages.QueueAnswer(core::btOk);
        game.window.EndGame();
        QVERIFY(game.world.ScenarioFinished);
        QVERIFY(!game.window.Action("Turn")->isEnabled());
    }

    void clicksOnLogLines() {
        TGame game;
        combat::TDivision* division = game.Orderable();
        game.world.Log.AddLogLine("1" + division->DivisionName + " turns away", division);
        game.world.Log.FlushLog({game.world.Preferences.Log,
                                 game.messages,
                                 game.sound,
                                 game.world.Cosmetic(),
                                 game.world.Folders().SoundsDir(),
                                 game.world.Clock,
                                 {}});
        game.world.Log.AddLogNote("A note of the umpire", 0, false, game.world.Clock);
        const auto& lines = game.world.Log.Displayed();
        int divisionLine = -1;
        int noteLine = -1;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            const std::string& text = lines[static_cast<std::size_t>(i)].text;
            if (text.find("turns away") != std::string::npos) {
                divisionLine = i;
            } else if (text.find("umpire") != std::string::npos) {
                noteLine = i;
            }
        }
        QVERIFY(divisionLine >= 0 && noteLine >= 0);
        game.window.LogLineClicked(divisionLine, Qt::LeftButton);
        QCOMPARE(game.window.SelectedDivision(), division);
        game.window.LogLineClicked(noteLine, Qt::LeftButton);
        QCOMPARE(game.LastMessage(), std::string("No object!"));
        // Past the end: nothing happens.
        const std::size_t shown = game.messages.Texts().size();
        game.window.LogLineClicked(static_cast<int>(lines.size()), Qt::LeftButton);
        QCOMPARE(game.messages.Texts().size(), shown);
    }

    void findShipSelectsTheFirstMatchOrSaysNotFound() {
        TGame game;
        const std::string name = game.world.Divisions.front()->Ships.front()->Name;
        game.messages.QueueInput(QString::fromStdString(name).toLower().mid(1).toStdString());
        game.window.FindShip();
        const auto selected = game.window.ShipTree()->selectedItems();
        QCOMPARE(selected.size(), 1);
        QVERIFY(selected.front()->text(0).toUpper().contains(
            QString::fromStdString(name).toUpper().mid(1)));
        game.messages.QueueInput("Flying Dutchman");
        game.window.FindShip();
        QCOMPARE(game.LastMessage(), std::string("Flying Dutchman not found!"));
    }
};

QTEST_MAIN(MainWindowControlsTest)
#include "MainWindowControlsTest.moc"
