// The ship status dialog over the open-sea test scenario: its text rules on their own, then
// the dialog filled from a ship of the scenario whose state the tests set by hand.

#include "ui/ShipStatus.h"
#include "GameFixture.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/Sound.h"
#include "engine/Digest.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "scenario/GameStart.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TFightingShip;
using ui::TdlgShipStatus;

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

// The open-sea scenario with a user folder of its own, and a status dialog over it.
struct TGame : tarnwake::testing::TStartedWorld {
    TdlgShipStatus dialog{world, messages};

    TFightingShip* Ship(const std::string& name) {
        for (const auto& s : world.Ships) {
            if (s->Name == name) {
                return s.get();
            }
        }
        return nullptr;
    }

    QString Text(const char* name) const {
        const auto* label = dialog.findChild<QLabel*>(name);
        return label != nullptr ? label->text() : QString("<no %1>").arg(name);
    }
    bool Hidden(const char* name) const {
        const auto* w = dialog.findChild<QWidget*>(name);
        return w == nullptr || w->isHidden();
    }
    QPushButton* Button(const char* name) const { return dialog.findChild<QPushButton*>(name); }
};

} // namespace

class ShipStatusTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // For QSignalSpy, which keeps the arguments of the signals it records.
        qRegisterMetaType<combat::TDivision*>("combat::TDivision*");
    }

    // ---- The text rules

    void hitPercentage_data() {
        QTest::addColumn<int>("hits");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<QString>("text");
        QTest::newRow("no rounds fired") << 0 << 0 << "0.00";
        QTest::newRow("hits without rounds") << 3 << 0 << "0.00";
        QTest::newRow("a third") << 1 << 3 << "33.33";
        QTest::newRow("two decimals always") << 2 << 8 << "25.00";
        QTest::newRow("every round") << 40 << 40 << "100.00";
    }
    void hitPercentage() {
        QFETCH(int, hits);
        QFETCH(int, rounds);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(ui::HitPercentText(hits, rounds)), text);
    }

    void torpedoTubeCount() {
        QCOMPARE(ui::TorpedoTubeText(4), std::string("4 above water"));
        QCOMPARE(ui::TorpedoTubeText(-2), std::string("2 submerged"));
        QCOMPARE(ui::TorpedoTubeText(0), std::string());
    }

    void typeLine() {
        core::THeadlessMessages messages(nullptr);
        TFightingShip ship;
        ship.ShipType = designs::TShipType::BC;
        ship.ObsoleteDate = 6000;
        QCOMPARE(ui::TypeLine(ship, "British", "", 6000, messages),
                 std::string("BRITISH BATTLE-CRUISER"));
        // Obsolete from the day before the battle.
        QCOMPARE(ui::TypeLine(ship, "British", "", 6001, messages),
                 std::string("OLD BRITISH BATTLE-CRUISER"));
        // Neutral shipping takes the side's name for it, when the scenario gives one.
        ship.ShipType = designs::TShipType::TR;
        QCOMPARE(ui::TypeLine(ship, "Unspecified", "Norwegian", 6000, messages),
                 std::string("NORWEGIAN MERCHANT SHIP"));
        QCOMPARE(ui::TypeLine(ship, "Unspecified", "", 6000, messages),
                 std::string("UNSPECIFIED MERCHANT SHIP"));
        QVERIFY(messages.Shown().empty());
    }

    void alarmLine() {
        TFightingShip ship;
        QCOMPARE(ui::AlarmText(ship), std::string());
        ship.FireLevel = 1;
        QCOMPARE(ui::AlarmText(ship), std::string());
        ship.FireLevel = 2;
        QCOMPARE(ui::AlarmText(ship), std::string("On fire! (1)"));
        ship.Sinking = 3;
        QCOMPARE(ui::AlarmText(ship), std::string("Sinking!"));
        ship.Sunk = true;
        QCOMPARE(ui::AlarmText(ship), std::string("Sunk!"));
    }

    void logFilter_data() {
        QTest::addColumn<bool>("over");
        QTest::addColumn<std::vector<std::string>>("lines");
        QTest::addColumn<std::vector<std::string>>("shown");
        using L = std::vector<std::string>;
        QTest::newRow("details in brackets are cut")
            << false << L{"14:32 Heavy hit amidships (12in from Lützow)"}
            << L{"14:32 Heavy hit amidships "};
        QTest::newRow("a bracket wins over a mine")
            << false << L{"14:33 Hit (Mine) forward"} << L{"14:33 Hit "};
        QTest::newRow("mine") << false << L{"14:40 Struck a Mine! Flooding"}
                              << L{"14:40 Mine/Torpedo"};
        QTest::newRow("torpedo") << false << L{"14:41 Torpedo hit aft"} << L{"14:41 Mine/Torpedo"};
        QTest::newRow("reloaded tube stays")
            << false << L{"14:50 Torpedo tube reloaded"} << L{"14:50 Torpedo tube reloaded"};
        QTest::newRow("plain line stays")
            << false << L{"15:00  Turret jammed!"} << L{"15:00  Turret jammed!"};
        QTest::newRow("own gunnery left out, UTF-8 sign")
            << false
            << L{"\xC2\xA4"
                 "14:55  Main battery scores 2 hits on Lützow"}
            << L{};
        QTest::newRow("own gunnery left out, byte 164")
            << false
            << L{"\xA4"
                 "14:55  Main battery scores 1 hit on Lützow"}
            << L{};
        QTest::newRow("order kept, only the sign lines gone")
            << false
            << L{"14:01 Light hit",
                 "\xC2\xA4"
                 "14:02  Main battery scores 1 hit on Moltke",
                 "14:03 Torpedo hit (port)"}
            << L{"14:01 Light hit", "14:03 Torpedo hit "};
        QTest::newRow("over: whole lines, sign dropped")
            << true
            << L{"14:32 Heavy hit amidships (12in from Lützow)",
                 "\xC2\xA4"
                 "14:55  Main battery scores 2 hits on Lützow",
                 "14:41 Torpedo hit aft",
                 "\xA4"
                 "14:56  Main battery scores 1 hit on Moltke"}
            << L{"14:32 Heavy hit amidships (12in from Lützow)",
                 "14:55  Main battery scores 2 hits on Lützow", "14:41 Torpedo hit aft",
                 "14:56  Main battery scores 1 hit on Moltke"};
        QTest::newRow("short mine line") << false << L{"Mine"} << L{"Mine Mine/Torpedo"};
    }
    void logFilter() {
        QFETCH(bool, over);
        QFETCH(std::vector<std::string>, lines);
        QFETCH(std::vector<std::string>, shown);
        QCOMPARE(ui::FilterLogEntries(lines, over), shown);
    }

    // ---- The dialog

    void classCardOfAShipInPlay() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        QVERIFY(ship != nullptr);
        game.dialog.Open(ship, false);
        QVERIFY(game.dialog.isVisible());
        QVERIFY(!game.dialog.isModal());
        QCOMPARE(game.dialog.windowTitle(), QString(" Ship Status"));
        QCOMPARE(game.Text("typeLine"), QString("BRITISH DREADNOUGHT"));
        QCOMPARE(game.Text("shipName"), QString("IRON DUKE"));
        QCOMPARE(game.Text("classLine"), QString("Iron Duke CLASS"));
        QCOMPARE(game.Text("displacement"), QString("Displacement, 25000 tons"));
        QCOMPARE(game.Text("mainGuns"), QString("10 - 14 inch."));
        QCOMPARE(game.Text("secondaryGuns"), QString("12 - 6 inch."));
        QCOMPARE(game.Text("tertiaryGuns"), QString());
        // The design file gives armour in half inches.
        QCOMPARE(game.Text("armourBelt"), QString("12\" Belt (amidships)"));
        QVERIFY(!game.Hidden("armourCT"));
        // The two broadside tubes are both below the waterline.
        QVERIFY(!game.Hidden("torpedoPanel"));
        QCOMPARE(game.Text("torpedoCaption"), QString("Torpedo tubes (21 inch)"));
        QCOMPARE(game.Text("tubesSubmerged"), QString("4 submerged"));
        QVERIFY(game.Hidden("tubesAboveWater"));
        QCOMPARE(game.Text("fireControl"), QString("Director"));
        // No rounds fired yet.
        QCOMPARE(game.Text("mainHitPercent"), QString("0.00"));
        QCOMPARE(game.Text("secHitPercent"), QString("0.00"));
        // No photograph is shipped: the class's plan stands in.
        const QLabel* picture = game.dialog.findChild<QLabel*>("picture");
        QVERIFY(!picture->pixmap().isNull());
        QVERIFY(picture->text().isEmpty());
        QVERIFY(game.Hidden("alarmLine"));
        QVERIFY(game.Hidden("rudderLine"));
    }

    void obsoleteClassAndTorpedoMounts() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        const int day = static_cast<int>(core::Trunc(game.world.Clock));
        ship->ObsoleteDate = day;
        game.dialog.Open(ship, false);
        QCOMPARE(game.Text("typeLine"), QString("BRITISH DREADNOUGHT"));
        ship->ObsoleteDate = day - 1;
        game.dialog.Refresh();
        QCOMPARE(game.Text("typeLine"), QString("OLD BRITISH DREADNOUGHT"));

        ship->TorpedoMounts.resize(1);
        ship->TorpedoMounts[0].Pos = 'I'; // a swivel mount on deck
        ship->TorpedoMounts[0].Tubes = 3;
        game.dialog.Refresh();
        QCOMPARE(game.Text("tubesAboveWater"), QString("3 above water"));
        QVERIFY(game.Hidden("tubesSubmerged"));
        ship->TorpedoMounts.clear();
        game.dialog.Refresh();
        QVERIFY(game.Hidden("torpedoPanel"));
    }

    void stateLinesFollowTheShip() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        ship->FireLevel = 1;
        game.dialog.Open(ship, false);
        QVERIFY(game.Hidden("alarmLine"));
        ship->FireLevel = 2;
        ship->RudderStatus = 2;
        ship->CurrentFloatPoints = ship->MaxFloatPoints - 100;
        ship->RoundsFired[1] = 8;
        ship->HitsScored[1] = 2;
        game.dialog.Refresh();
        QVERIFY(!game.Hidden("alarmLine"));
        QCOMPARE(game.Text("alarmLine"), QString("On fire! (1)"));
        QCOMPARE(game.Text("rudderLine"), QString("Rudder jammed center"));
        QCOMPARE(game.dialog.findChild<QProgressBar*>("flotationBar")->toolTip(),
                 QString("%1 of %2").arg(ship->MaxFloatPoints - 100).arg(ship->MaxFloatPoints));
        QCOMPARE(game.Text("mainHitPercent"), QString("25.00"));

        game.world.Environment.WindForce = 7;
        game.dialog.Refresh();
        QCOMPARE(game.Text("stateLine"), QString("Speed limited to 22 knots by weather!"));
        ship->TimeToRaiseSteam = 30;
        game.dialog.Refresh();
        QCOMPARE(game.Text("stateLine"), QString("Raising steam! 30 minutes left"));
    }

    void mainGunsHitChanceAndItsReasons() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        TFightingShip* enemy = game.Ship("Markgraf");
        QVERIFY(ship != nullptr && enemy != nullptr);
        game.dialog.Open(ship, false);
        QCOMPARE(game.Text("mainHitChance"), QString("-"));
        QVERIFY(!game.Button("details")->isEnabled());

        // A target 12,000 yards off: the chance and the reasons the rules give, and looking at
        // them draws nothing from the battle's dice.
        enemy->SetPosition(map::MovePoint(ship->Position(), 90, 12000.0));
        enemy->SightingLevel = combat::kClassIdentified;
        ship->CurrentTarget = enemy;
        const std::uint64_t digest = engine::StateDigest(game.world);
        game.dialog.Refresh();
        const auto estimate = engine::EstimateGunnery(game.world, *ship, 1);
        QVERIFY(estimate.has_value());
        QCOMPARE(game.Text("mainHitChance"), QString("%1 %").arg(estimate->HitChance, 0, 'f', 2));
        QVERIFY(game.Button("details")->isEnabled());
        game.messages.Clear();
        game.Button("details")->click();
        const std::string reasons = game.LastMessage();
        QVERIFY(reasons.find("Target: Markgraf") != std::string::npos);
        QVERIFY(reasons.find("Range: 1") != std::string::npos);
        QVERIFY(reasons.find("Final hit chance: ") != std::string::npos);
        QCOMPARE(engine::StateDigest(game.world), digest);
    }

    void reducedViewHidesWhatTheEnemyCannotKnow() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        ship->FireLevel = 3;
        game.dialog.Open(ship, true);
        for (const char* hidden : {"damageBox", "dataBox", "gunneryTabs", "endurance", "maxSpeed",
                                   "logEntries", "sighted", "division", "smoke"}) {
            QVERIFY2(game.Hidden(hidden), hidden);
        }
        for (const char* shown :
             {"classCard", "typeLine", "alarmLine", "currentSpeed", "course", "viewTabs"}) {
            QVERIFY2(!game.Hidden(shown), shown);
        }
        game.dialog.ShowLogEntries();
        QVERIFY(game.dialog.LogDialog() == nullptr);
        game.dialog.ShowSighted();
        QVERIFY(game.messages.Shown().empty());

        // The same dialog shows one of the player's own ships in full again.
        game.dialog.Open(ship, false);
        QVERIFY(!game.Hidden("gunneryTabs"));
        QVERIFY(!game.Hidden("logEntries"));
    }

    void logEntriesAndClipboard() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        ship->Hits = {"14:02 Heavy hit forward (11in from Moltke)",
                      "\xC2\xA4"
                      "14:05  Main battery scores 1 hit on Moltke",
                      "14:07 Torpedo hit aft"};
        ship->RoundsFiredAtMeLastTurn = 7;
        game.dialog.Open(ship, false);
        game.Button("logEntries")->click();
        QDialog* log = game.dialog.LogDialog();
        QVERIFY(log != nullptr && log->isVisible());
        QCOMPARE(log->windowTitle(), QString("Log entries for Iron Duke"));
        auto* list = log->findChild<QListWidget*>("logList");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("14:02 Heavy hit forward "));
        QCOMPARE(list->item(1)->text(), QString("14:07 Mine/Torpedo"));
        QCOMPARE(log->findChild<QLabel*>("roundsAtShip")->text(),
                 QString("Rounds fired at ship last turn: 7"));

        log->findChild<QAction*>("copyToClipboard")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("Operational history, Iron Duke\n\n14:02 Heavy hit forward \n"
                         "14:07 Mine/Torpedo\n"));

        // Once the scenario is over the whole story may be told.
        game.world.ScenarioFinished = true;
        game.dialog.Refresh();
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(1)->text(), QString("14:05  Main battery scores 1 hit on Moltke"));
    }

    void divisionAndSighted() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        TFightingShip* other = game.Ship("Caroline");
        combat::TDivision* division = ship->InitialDivision;
        QVERIFY(division != nullptr);
        game.dialog.Open(ship, false);

        game.Button("sighted")->click();
        QCOMPARE(game.messages.Texts().back(), std::string("No ships sighted"));
        ship->Sighted = {other};
        game.Button("sighted")->click();
        const int range = ship->GetRangeToShip(other, game.messages);
        QVERIFY(range > 0);
        QCOMPARE(game.messages.Texts().back(), "Caroline " + std::to_string(range));

        QSignalSpy spy(&game.dialog, &TdlgShipStatus::divisionRequested);
        game.Button("division")->click();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<combat::TDivision*>(), division);
        QVERIFY(!game.dialog.isVisible());
    }

    void pictureFromCustomFiles() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        const QString custom = game.userDir.path() + "/Custom Files";
        QVERIFY(QDir().mkpath(custom));
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::darkGray);
        QVERIFY(image.save(custom + "/IronDuke.png"));
        ship->PictureName.clear();
        game.dialog.Open(ship, false);
        const QLabel* picture = game.dialog.findChild<QLabel*>("picture");
        const QImage plan = picture->pixmap().toImage();
        QVERIFY(!plan.isNull());
        ship->PictureName = "IronDuke.png";
        game.dialog.Refresh();
        QCOMPARE(picture->pixmap().width(), 40);

        // A photograph in JPEG, decoded with libjpeg; named without its extension too.
        QImage photograph(64, 32, QImage::Format_RGB32);
        photograph.fill(QColor(180, 40, 40));
        QVERIFY(photograph.save(custom + "/Iron Duke class.jpg", "JPEG", 95));
        for (const char* name : {"Iron Duke class.jpg", "Iron Duke class"}) {
            ship->PictureName = name;
            game.dialog.Refresh();
            QCOMPARE(picture->pixmap().width(), 64);
            const QColor middle = picture->pixmap().toImage().pixelColor(32, 16);
            QVERIFY2(std::abs(middle.red() - 180) < 12 && middle.green() < 60, name);
        }

        // A file that does not decode counts as no picture, and so does one cut short or a
        // name leading out of the folder: the plan of the class is shown instead.
        std::ofstream(std::filesystem::path(custom.toStdString()) / "Broken.jpg") << "not a jpeg";
        QFile whole(custom + "/Iron Duke class.jpg");
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QFile cut(custom + "/Cut.jpg");
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(whole.size() / 2));
        cut.close();
        for (const char* name : {"Broken.jpg", "Cut.jpg", "../Custom Files/IronDuke.png"}) {
            ship->PictureName = name;
            game.dialog.Refresh();
            QCOMPARE(picture->pixmap().toImage(), plan);
        }
        QVERIFY(game.messages.Shown().empty());
    }

    void aShipLeavingTheWorldClosesTheDialog() {
        TGame game;
        TFightingShip* ship = game.Ship("Iron Duke");
        game.dialog.Open(ship, false);
        game.world.RetireShip(ship);
        game.dialog.Refresh();
        QVERIFY(!game.dialog.isVisible());
        QVERIFY(game.dialog.Ship() == nullptr);
    }
};

QTEST_MAIN(ShipStatusTest)
#include "ShipStatusTest.moc"
