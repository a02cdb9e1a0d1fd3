// The plan and profile of a class drawn where no photograph exists: the damage of the ship
// marked where it is, read back as the pixels that change against the plan of her undamaged
// sister.

#include "ui/ShipPlan.h"
#include "GameFixture.h"

#include "combat/FightingShip.h"
#include "combat/HitEffects.h"
#include "core/Messages.h"
#include "designs/NationsTable.h"

#include <QImage>
#include <QtTest>
#include <filesystem>
#include <functional>

using namespace tarnwake;
using combat::TFightingShip;
using ui::PlanHitPlace;
using ui::ShipPlanPicture;
using ui::TPlanHit;

namespace {

constexpr QSize kPlan(360, 300);

std::unique_ptr<TFightingShip> IronDuke() {
    auto ship = std::make_unique<TFightingShip>();
    core::THeadlessMessages messages(nullptr);
    if (!ship->LoadDesign(tarnwake::testing::UiGameDir() / "Designs" / "Iron Duke.sdf",
                          designs::kHighestNationIndex, messages)) {
        return nullptr;
    }
    ship->Name = "Iron Duke";
    return ship;
}

using TDamage = std::function<void(TFightingShip&)>;

// What a mark looks like: the colour its changed pixels lean to.
enum TTint { tRed, tAmber, tBlue };

bool Tinted(const QColor& c, TTint tint) {
    switch (tint) {
    case tRed:
        return c.red() > 150 && c.green() < 90 && c.blue() < 90;
    case tAmber:
        return c.red() > 180 && c.green() > 100 && c.green() < 190 && c.blue() < 80;
    case tBlue:
        return c.blue() > 120 && c.red() < 90;
    }
    return false;
}

// The pixels that differ between two plans: how many, how many of a tint, and their mean
// place.
struct TChange {
    int pixels = 0;
    int tinted = 0;
    double meanX = 0.0;
    double meanY = 0.0;
};

TChange Changes(const QImage& before, const QImage& after, TTint tint) {
    TChange change;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const QColor c = after.pixelColor(x, y);
            if (c == before.pixelColor(x, y)) {
                continue;
            }
            ++change.pixels;
            change.tinted += Tinted(c, tint);
            change.meanX += x;
            change.meanY += y;
        }
    }
    if (change.pixels > 0) {
        change.meanX /= change.pixels;
        change.meanY /= change.pixels;
    }
    return change;
}

enum TWhere { wForward, wAft, wStarboard, wPort };

} // namespace

Q_DECLARE_METATYPE(TDamage)

class ShipPlanTest : public QObject {
    Q_OBJECT
private slots:
    void damageIsMarkedWhereItIs_data() {
        QTest::addColumn<TDamage>("damage");
        QTest::addColumn<int>("tint");
        QTest::addColumn<int>("where");
        // The bow is drawn to the right and starboard below the centre line in the plan.
        QTest::newRow("A turret destroyed")
            << TDamage([](TFightingShip& s) { s.Turrets.front().Destroyed = true; }) << int(tRed)
            << int(wForward);
        QTest::newRow("Y turret destroyed")
            << TDamage([](TFightingShip& s) { s.Turrets.back().Destroyed = true; }) << int(tRed)
            << int(wAft);
        QTest::newRow("Y turret silenced")
            << TDamage([](TFightingShip& s) { s.Turrets.back().Silenced = 3; }) << int(tAmber)
            << int(wAft);
        QTest::newRow("a shell in the bows from ahead") << TDamage([](TFightingShip& s) {
            s.HitMarks.push_back({combat::kHullEndsHit, 10});
        }) << int(tRed) << int(wForward);
        QTest::newRow("a shell in the stern from astern") << TDamage([](TFightingShip& s) {
            s.HitMarks.push_back({combat::kHullEndsHit, 190});
        }) << int(tRed) << int(wAft);
        QTest::newRow("a torpedo to starboard") << TDamage([](TFightingShip& s) {
            s.HitMarks.push_back({TFightingShip::THitMark::kBelowWaterline, 90});
        }) << int(tBlue) << int(wStarboard);
        QTest::newRow("a mine to port") << TDamage([](TFightingShip& s) {
            s.HitMarks.push_back({TFightingShip::THitMark::kBelowWaterline, 300});
        }) << int(tBlue) << int(wPort);
    }
    void damageIsMarkedWhereItIs() {
        QFETCH(TDamage, damage);
        QFETCH(int, tint);
        QFETCH(int, where);
        const auto sound = IronDuke();
        const auto damaged = IronDuke();
        QVERIFY(sound && damaged);
        damage(*damaged);
        const QImage before = ShipPlanPicture(*sound, kPlan);
        const QImage after = ShipPlanPicture(*damaged, kPlan);
        QCOMPARE(after.size(), kPlan);
        const TChange change = Changes(before, after, static_cast<TTint>(tint));
        QVERIFY(change.pixels > 20);
        // A small mark is much outline and edge: a third of it in its colour is plain to see.
        QVERIFY2(change.tinted * 3 > change.pixels, "the mark is not of its colour");
        const double middle = kPlan.width() / 2.0;
        switch (where) {
        case wForward:
            QVERIFY(change.meanX > middle + kPlan.width() / 6.0);
            break;
        case wAft:
            QVERIFY(change.meanX < middle - kPlan.width() / 6.0);
            break;
        case wStarboard:
        case wPort: {
            // In the plan only: the hit shows in the profile too, on the waterline.
            const TPlanHit hit = PlanHitPlace(*damaged, 0);
            QVERIFY(hit.belowWater);
            QVERIFY(where == wStarboard ? hit.starboard > 0 : hit.starboard < 0);
            break;
        }
        }
    }

    void anUndamagedShipDrawsTheSameEachTime() {
        const auto ship = IronDuke();
        QVERIFY(ship);
        const QImage first = ShipPlanPicture(*ship, kPlan);
        QCOMPARE(Changes(first, ShipPlanPicture(*ship, kPlan), tRed).pixels, 0);
        // Her five turrets, a hull and funnels: the plan is drawn, not left blank.
        const QColor paper = first.pixelColor(1, 1);
        int drawn = 0;
        for (int y = 0; y < first.height(); ++y) {
            for (int x = 0; x < first.width(); ++x) {
                drawn += first.pixelColor(x, y) != paper;
            }
        }
        QVERIFY(drawn > kPlan.width() * kPlan.height() / 10);
    }
};

QTEST_MAIN(ShipPlanTest)
#include "ShipPlanTest.moc"
