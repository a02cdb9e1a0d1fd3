// The message log as the player reads it: a filter that keeps the lines about a ship or a
// division, ship names that select the ship, and clicks on a filtered log that still find the
// line they were made on.

#include "GameFixture.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "engine/MinuteBookkeeping.h"
#include "ui/MainWindow.h"
#include "ui/ShipStatus.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

using namespace tarnwake;
using combat::TFightingShip;

namespace {

struct TGame : tarnwake::testing::TStartedWindow {
    TFightingShip* battleship = nullptr; // of the 4th BS
    TFightingShip* cruiser = nullptr;    // of the 1st LCS
    combat::TDivision* battleSquadron = nullptr;

    TGame() {
        battleSquadron = DivisionNamed("4th BS");
        battleship = battleSquadron->Flagship();
        cruiser = DivisionNamed("1st LCS")->Flagship();
        engine::TMessageLog& log = world.Log;
        log.AddLogLine("2" + battleship->Name + " is hit amidships", battleship);
        log.AddLogLine("1" + cruiser->Name + " opens fire", cruiser);
        log.AddLogLine("14th BS turns together to 90", battleSquadron);
        log.AddLogLine("1Smoke drifts across the line");
        engine::FlushMinuteLog(world);
        window.SetWorld(&world);
        // The log's tab in front, so that its lines are laid out where a click finds them.
        QWidget* page = window.LogView()->parentWidget();
        for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
            if (tabs->indexOf(page) >= 0) {
                tabs->setCurrentWidget(page);
            }
        }
    }

    QStringList Shown() const {
        return window.LogView()->toPlainText().split('\n', Qt::SkipEmptyParts);
    }

    // The middle of `text` in the log view, in its viewport's pixels.
    QPoint Where(const QString& text) const {
        QTextEdit* log = window.LogView();
        QTextCursor found = log->document()->find(text);
        if (found.isNull()) {
            return {-1, -1};
        }
        QTextCursor middle(log->document());
        middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
        return log->cursorRect(middle).center();
    }
};

} // namespace

class MainWindowLogTest : public QObject {
    Q_OBJECT
private slots:
    void theFilterKeepsTheLinesAboutAShipOrDivision_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("none") << QString() << QStringList{"hit", "opens", "turns", "Smoke"};
        QTest::newRow("a ship, any case") << QString("<battleship>") << QStringList{"hit"};
        // A line about a ship of the division passes though it never names the division.
        QTest::newRow("a division") << QString("4th BS") << QStringList{"hit", "turns"};
        QTest::newRow("words of a line") << QString("smoke") << QStringList{"Smoke"};
        QTest::newRow("nothing of the kind") << QString("Lützow") << QStringList{};
    }
    void theFilterKeepsTheLinesAboutAShipOrDivision() {
        QFETCH(QString, filter);
        QFETCH(QStringList, kept);
        TGame game;
        filter.replace("<battleship>", QString::fromStdString(game.battleship->Name).toUpper());
        game.window.LogFilter()->setText(filter);
        const QStringList shown = game.Shown();
        QCOMPARE(shown.size(), kept.size());
        for (int i = 0; i < kept.size(); ++i) {
            QVERIFY2(shown[i].contains(kept[i]), qPrintable(shown[i]));
        }
        game.window.LogFilter()->clear();
        QCOMPARE(game.Shown().size(), 4);
    }

    void aShipsNameSelectsHer() {
        TGame game;
        const QString name = QString::fromStdString(game.cruiser->Name);
        QVERIFY(game.window.LogView()->toHtml().contains(
            QString("href=\"ship:%1\"").arg(game.cruiser->Id.Value)));
        QTest::mouseClick(game.window.LogView()->viewport(), Qt::LeftButton, {}, game.Where(name));
        const QTreeWidgetItem* current = game.window.ShipTree()->currentItem();
        QVERIFY(current != nullptr);
        QCOMPARE(current->text(0).contains(name), true);
        // A name is a link, not an order: no status window for it.
        QVERIFY(game.window.ShipStatusWindow() == nullptr ||
                !game.window.ShipStatusWindow()->isVisible());
    }

    // The only line the filter keeps is the second of the whole log: a click on it must open
    // the status of its ship, not of the ship whose line stands first in the whole log.
    void aClickOnAFilteredLineFindsItsShip() {
        TGame game;
        game.window.LogFilter()->setText("opens fire");
        QCOMPARE(game.Shown().size(), 1);
        QTest::mouseClick(game.window.LogView()->viewport(), Qt::LeftButton, {},
                          game.Where("opens fire"));
        ui::TdlgShipStatus* status = game.window.ShipStatusWindow();
        QVERIFY(status != nullptr && status->isVisible());
        QCOMPARE(status->Ship(), game.cruiser);
    }
};

QTEST_MAIN(MainWindowLogTest)
#include "MainWindowLogTest.moc"
