// The side panel's "Reports" and "Objectives" tabs in play: the contact reports that reach the
// player at the Dogger Bank are listed as they arrive and lead the chart to their markers, and
// each objective's line shows how it stands.

#include "GameFixture.h"
#include "combat/Division.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/ContactReports.h"
#include "engine/GameWorld.h"
#include "engine/Objective.h"
#include "engine/Report.h"
#include "scenario/GameStart.h"
#include "ui/ChartView.h"
#include "ui/GameController.h"
#include "ui/MainWindow.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarnwake;

namespace {

// Dogger Bank with the player commanding the British, the Harwich Force left to its commodore
// (as the game start leaves a force the scenario gives the computer): its divisions report
// by signal.
struct TDoggerBank {
    QTemporaryDir userDir;
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{
        messages, sound,
        core::TGameFolders(tarnwake::testing::UiGameDir(), userDir.path().toStdString())};
    ui::TfrmMain window;

    TDoggerBank() {
        scenario::TGameSetup setup;
        setup.ScenarioName = "Scenarios/Dogger Bank.nsc";
        setup.ScenarioFile = *scenario::FindScenario(world.Folders(), setup.ScenarioName);
        setup.Sides.ComputerCommanded = {false, true};
        setup.Seed = 1;
        world.Preferences.AutosaveMinutes = 0;
        scenario::StartGame(world, setup);
        for (const auto& force : world.Forces) {
            if (force->Name == "Harwich Force") {
                for (combat::TDivision* d : force->Divisions) {
                    d->ReportsBySignal = true;
                    d->AIControl = true;
                }
            }
        }
        window.SetMessages(&messages);
        window.SetWorld(&world);
        window.resize(1200, 800);
        window.show();
    }
};

} // namespace

class ReportsTabTest : public QObject {
    Q_OBJECT
private slots:
    void theReportsThatArriveAreListedAndLeadTheChartToTheirMarkers() {
        TDoggerBank game;
        QListWidget* list = game.window.ReportList();
        QCOMPARE(list->count(), 0);
        game.window.SidePanel()->setCurrentIndex(0);
        game.world.RunWholeMinutes(120);

        const auto inHand = engine::PlayerReportList(game.world);
        QVERIFY(!inHand.empty());
        QCOMPARE(list->count(), static_cast<int>(inHand.size()));
        for (int i = 0; i < list->count(); ++i) {
            QCOMPARE(list->item(i)->text().toStdString(),
                     inHand[static_cast<std::size_t>(i)]->ListText());
        }
        // The reports came forward as they arrived.
        QCOMPARE(game.window.SidePanel()->currentWidget(), static_cast<QWidget*>(list));

        // A click on the oldest centres the chart on its marker, which shows.
        QListWidgetItem* oldest = list->item(list->count() - 1);
        list->scrollToItem(oldest);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(oldest).center());
        const engine::TReport* report = inHand.back();
        QCOMPARE(game.window.Chart()->Centre(), report->Marker->StoredPoint());
        QVERIFY(!report->Marker->Hidden());
    }

    void theObjectivesShowHowTheyStandAsTheyChange() {
        TDoggerBank game;
        QListWidget* list = game.window.ObjectiveList();
        QVERIFY(list->count() > 0);
        QVERIFY(list->item(0)->text().endsWith(" - Pending"));
        const auto id = engine::TObjectiveId(list->item(0)->data(Qt::UserRole).toInt());
        engine::TObjectiveCondition* objective = game.world.FindObjective(id);
        QVERIFY(objective != nullptr);
        objective->Status = engine::kObjectiveAccomplished;
        game.window.Controller().MinuteFinished();
        const QString text = list->item(0)->text();
        QVERIFY(text.startsWith(QString::fromStdString(objective->Description())));
        QVERIFY(text.endsWith(" - Accomplished"));
    }
};

QTEST_MAIN(ReportsTabTest)
#include "ReportsTabTest.moc"
