// The main window as the player drives it with keys and the mouse: the game keys act wherever
// the focus is, the order boxes keep their own keys, the wheel zooms about the cursor, the
// status bar follows the cursor and the mark, and a scenario that cannot start leaves the
// game in progress alone.

#include "GameFixture.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "ui/ChartPosition.h"
#include "ui/ChartView.h"
#include "ui/GameController.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWheelEvent>
#include <QtTest>

using namespace tarnwake;
using ui::TfrmMain;

namespace {

struct TGame : tarnwake::testing::TStartedWindow {
    combat::TDivision* division = nullptr;

    TGame() {
        window.activateWindow();
        division = Orderable();
        window.SelectDivision(division);
    }

    bool Active() { return QTest::qWaitForWindowActive(&window); }

    // Presses a key where the focus is, as the keyboard does.
    void Press(int key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : &window, static_cast<Qt::Key>(key), modifiers);
    }

    QString BoxText(QSpinBox* box) const { return box->findChild<QLineEdit*>()->text(); }

    // Stops any run a key started, so that the next check starts from a paused game.
    void StopRunning() {
        window.Controller().Run(0);
        QTRY_VERIFY(!window.Controller().Running());
    }
};

} // namespace

class MainWindowKeysTest : public QObject {
    Q_OBJECT
private slots:
    void digitsAndEditingKeysEditTheFocusedBox_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("course") << "courseBox";
        QTest::newRow("speed") << "speedBox";
    }

    void digitsAndEditingKeysEditTheFocusedBox() {
        QFETCH(QString, box);
        TGame game;
        QVERIFY(game.Active());
        auto* spin = game.window.findChild<QSpinBox*>(box);
        spin->setFocus();
        QVERIFY(spin->hasFocus());
        game.Press(Qt::Key_A, Qt::ControlModifier);
        game.Press(Qt::Key_3);
        game.Press(Qt::Key_0);
        game.Press(Qt::Key_Backspace);
        game.Press(Qt::Key_5);
        // The digits went into the box: no minute was run.
        QCOMPARE(game.BoxText(spin), QString("35"));
        // Nor does a digit the box may refuse (there is no speed of 350 knots).
        game.Press(Qt::Key_End);
        game.Press(Qt::Key_0);
        QVERIFY(!game.window.Controller().Running());
        QCOMPARE(game.world.TimeElapsed, 0);
        QVERIFY(spin->hasFocus());
    }

    void enterConfirmsTheBoxAndGivesTheFocusToTheChart_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("course") << "courseBox";
        QTest::newRow("speed") << "speedBox";
    }

    void enterConfirmsTheBoxAndGivesTheFocusToTheChart() {
        QFETCH(QString, box);
        TGame game;
        QVERIFY(game.Active());
        auto* spin = game.window.findChild<QSpinBox*>(box);
        spin->setFocus();
        game.Press(Qt::Key_A, Qt::ControlModifier);
        game.Press(Qt::Key_1);
        game.Press(Qt::Key_2);
        game.Press(Qt::Key_Return);
        QCOMPARE(box == "courseBox" ? game.division->Course : game.division->Speed, 12);
        QVERIFY(!game.window.Controller().Running());
        QVERIFY(game.window.Chart()->hasFocus());
        // Now Enter is the game's again: it runs the clock.
        game.Press(Qt::Key_Return);
        QVERIFY(game.window.Controller().Running());
        game.StopRunning();
    }

    void escapeLeavesTheBoxWithoutChange() {
        TGame game;
        QVERIFY(game.Active());
        const int course = game.division->Course;
        const int speed = game.division->Speed;
        for (QSpinBox* spin :
             {static_cast<QSpinBox*>(game.window.CourseBox()), game.window.SpeedBox()}) {
            spin->setFocus();
            game.Press(Qt::Key_A, Qt::ControlModifier);
            game.Press(Qt::Key_7);
            game.Press(Qt::Key_Escape);
            QVERIFY(game.window.Chart()->hasFocus());
            QCOMPARE(game.division->Course, course);
            QCOMPARE(game.division->Speed, speed);
            // The box shows the order again, not what was typed.
            QCOMPARE(spin->value(), spin == game.window.SpeedBox() ? speed : course % 360);
        }
        QVERIFY(game.messages.Texts().empty());
    }

    void gameKeysActWhereverTheFocusIs_data() {
        QTest::addColumn<QString>("widget");
        QTest::newRow("course box") << "courseBox";
        QTest::newRow("speed box") << "speedBox";
        QTest::newRow("tree") << "obTree";
        QTest::newRow("game speed") << "gameSpeed";
        QTest::newRow("chart") << "chart";
    }

    void gameKeysActWhereverTheFocusIs() {
        QFETCH(QString, widget);
        TGame game;
        QVERIFY(game.Active());
        auto* focus = game.window.findChild<QWidget*>(widget);
        QVERIFY(focus != nullptr);
        const int speedIndex = game.world.SpeedIndex;

        // "v": game speed down, however the focused widget would take a letter.
        focus->setFocus();
        game.Press(Qt::Key_V);
        QCOMPARE(game.world.SpeedIndex, speedIndex - 1);
        QCOMPARE(game.window.SelectedDivision(), game.division);
        QVERIFY(game.window.Chart()->hasFocus());

        // "x": zoom in.
        focus->setFocus();
        const double altitude = game.window.Chart()->Altitude();
        game.Press(Qt::Key_X);
        QCOMPARE(game.window.Chart()->Altitude(), altitude * ui::TChartView::kZoomInFactor);

        // Space: one minute at once.
        focus->setFocus();
        game.Press(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(!game.window.Controller().Running(), 10000);
        QCOMPARE(game.world.TimeElapsed, 1);

        if (widget != "courseBox" && widget != "speedBox") {
            // A digit outside the boxes runs that many minutes.
            focus->setFocus();
            game.window.Controller().SetSpeed(engine::kFastestSpeed);
            game.Press(Qt::Key_2);
            QTRY_VERIFY_WITH_TIMEOUT(!game.window.Controller().Running(), 10000);
            QCOMPARE(game.world.TimeElapsed, 3);
        }
        QCOMPARE(game.window.SelectedDivision(), game.division);
    }

    void theTreeHasNoTypeAhead() {
        TGame game;
        QVERIFY(game.Active());
        QTreeWidget* tree = game.window.ShipTree();
        tree->setFocus();
        const QTreeWidgetItem* current = tree->currentItem();
        const auto selected = tree->selectedItems();
        // Letters that are no game key would jump to the node that begins with them.
        for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
            const QString text = (*it)->text(0);
            if (!text.isEmpty() && text[0].isLetter()) {
                QTest::keyClicks(tree, text.left(3));
            }
        }
        QCOMPARE(tree->currentItem(), current);
        QCOMPARE(tree->selectedItems(), selected);
        QCOMPARE(game.window.SelectedDivision(), game.division);
    }

    void aClickOnTheChartTakesTheFocus() {
        TGame game;
        QVERIFY(game.Active());
        game.window.ShipTree()->setFocus();
        QTest::mouseClick(game.window.Chart(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(game.window.Chart()->hasFocus());
    }

    void theWheelZoomsAboutThePointUnderTheCursor_data() {
        QTest::addColumn<int>("delta");
        QTest::newRow("in") << 120;
        QTest::newRow("out") << -120;
    }

    void theWheelZoomsAboutThePointUnderTheCursor() {
        QFETCH(int, delta);
        TGame game;
        ui::TChartView* chart = game.window.Chart();
        // Off centre, where a zoom about the centre would move the point.
        const QPointF cursor(chart->width() * 0.8, chart->height() * 0.25);
        const auto before = chart->PixelToPosition(cursor);
        QVERIFY(before.has_value());
        const double altitude = chart->Altitude();
        QWheelEvent wheel(cursor, chart->mapToGlobal(cursor), {}, {0, delta}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(chart, &wheel);
        QVERIFY(chart->Altitude() != altitude);
        const auto after = chart->PositionToPixel(*before);
        QVERIFY(after.has_value());
        QVERIFY2(std::hypot(after->x() - cursor.x(), after->y() - cursor.y()) < 2.0,
                 qPrintable(QString("%1,%2").arg(after->x()).arg(after->y())));
    }

    void theArrowKeysPanTheChart() {
        TGame game;
        QVERIFY(game.Active());
        ui::TChartView* chart = game.window.Chart();
        chart->setFocus();
        const map::TGeoPos centre = chart->Centre();
        game.Press(Qt::Key_Right);
        QVERIFY(chart->Centre().lon > centre.lon);
        game.Press(Qt::Key_Up);
        QVERIFY(chart->Centre().lat > centre.lat);
    }

    void theStatusBarShowsTheCursorAndTheMarkFromTheFlagship() {
        TGame game;
        TfrmMain& w = game.window;
        const combat::TFightingShip* flagship = game.division->Flagship();
        const QPoint at(150, 120);
        QTest::mouseMove(w.Chart(), at);
        const auto p = w.Chart()->PixelToPosition(at);
        QVERIFY(p.has_value());
        const QString cursorText = w.StatusPanel(TfrmMain::kCursorPanel)->text();
        QVERIFY2(cursorText.startsWith(ui::PositionText(*p)), qPrintable(cursorText));
        QVERIFY2(cursorText.contains(ui::RangeBearingText(flagship->Position(), *p) + " from " +
                                     QString::fromStdString(flagship->Name)),
                 qPrintable(cursorText));
        // The mark keeps its own panel.
        QTest::mouseClick(w.Chart(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w.Chart(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(w.Chart(), Qt::LeftButton, {}, at);
        QCOMPARE(w.StatusPanel(TfrmMain::kMarkPanel)->text(), "Mark " + w.PointText(*p));
        QTest::mouseClick(w.Chart(), Qt::LeftButton, {}, QPoint(300, 300));
        QVERIFY(w.StatusPanel(TfrmMain::kMarkPanel)->text().isEmpty());
    }

    void positionsAndRangesReadAsANavigatorWritesThem() {
        // 54°30'N 2°15'W, and a point one nautical mile due north of it.
        const map::TGeoPos p{-(2 * 5'400'000 + 15 * 90'000), 54 * 5'400'000 + 30 * 90'000, 0};
        QCOMPARE(ui::PositionText(p), QString("54°30'N 2°15'W"));
        QCOMPARE(ui::PositionText({0, -90'000 * 61, 0}), QString("01°01'S 0°00'E"));
        const map::TGeoPos north{p.lon, p.lat + 90'000, 0};
        QCOMPARE(ui::RangeBearingText(p, north), QString("2,027 yds 000°"));
    }

    void theSidesReadWithThePlayersSideFirst() {
        tarnwake::testing::TStartedWindow british(0);
        tarnwake::testing::TStartedWindow german(1);
        const QString side0 = QString::fromStdString(british.world.Sides[0].Name);
        const QString side1 = QString::fromStdString(british.world.Sides[1].Name);
        QCOMPARE(british.window.SidesText(), side0 + " - " + side1);
        QCOMPARE(german.window.SidesText(), side1 + " - " + side0);
        QCOMPARE(german.window.StatusPanel(TfrmMain::kSidesPanel)->text(), side1 + " - " + side0);
    }

    void aScenarioThatCannotStartLeavesTheGameInProgress() {
        TGame game;
        game.window.SetServices(game.world.Folders());
        QTemporaryDir dir;
        const QString broken = dir.filePath("Broken.nsc");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nThis is no scenario\n");
        file.close();
        const std::size_t ships = game.world.Ships.size();
        QVERIFY(!game.window.OpenScenario(broken.toStdString(), 0));
        QVERIFY(!game.messages.Texts().empty());
        QCOMPARE(game.window.World(), &game.world);
        QCOMPARE(game.world.Ships.size(), ships);
        QCOMPARE(game.window.SelectedDivision(), game.division);
        QVERIFY(game.window.Action("Turn")->isEnabled());
    }

    void afterEndGameNoOrderControlIsEnabled() {
        TGame game;
        QVERIFY(game.window.CourseBox()->isEnabled());
        game.messages.QueueAnswer(core::btOk);
        game.window.EndGame();
        QVERIFY(game.world.ScenarioFinished);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 game.window.CourseBox(), game.window.SpeedBox(), game.window.SqMaxButton(),
                 game.window.MedButton(), game.window.CruiseButton(), game.window.SpeedUpButton(),
                 game.window.SpeedDownButton(), game.window.GameSpeedBox()}) {
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        }
    }

    void theToolbarButtonsHaveTooltipsAndTheUnbuiltOnesSaySo() {
        TGame game;
        const QList<QAction*> actions = game.window.findChildren<QAction*>();
        int comingLater = 0;
        for (const QAction* action : actions) {
            if (action->objectName().isEmpty() || action->parent() != &game.window) {
                continue;
            }
            QVERIFY2(!action->toolTip().isEmpty() && action->statusTip().isEmpty(),
                     qPrintable(action->objectName()));
            if (action->property("comingLater").toBool()) {
                ++comingLater;
                QVERIFY(!action->isEnabled());
                QVERIFY2(action->toolTip().contains("Coming later"), qPrintable(action->toolTip()));
            }
        }
        QVERIFY(comingLater > 0);
        QVERIFY(game.window.Action("All the world's fighting ships") != nullptr);
        QVERIFY(!game.window.SpeedUpButton()->toolTip().isEmpty());
        QVERIFY(!game.window.SpeedDownButton()->toolTip().isEmpty());
    }
};

QTEST_MAIN(MainWindowKeysTest)
#include "MainWindowKeysTest.moc"
