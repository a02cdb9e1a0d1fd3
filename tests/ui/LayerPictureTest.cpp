// The chart keeps a picture of each layer between paints and lays it down while nothing it was
// drawn from has changed. What it lays down must be what drawing the layer anew gives, and a
// picture gone stale (a track grown, the view moved, a style or selection changed) must never
// be shown.

#include "engine/GameWorld.h"
#include "map/GamePresenters.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"
#include "map/GlobeUnits.h"
#include "ui/ChartView.h"

#include "support/TestWorld.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace tarnwake;
using map::TGeoPos;
using ui::TChartView;

namespace {

constexpr QSize kPicture(640, 400);
constexpr double kYardsPerMile = map::kGlobeUnitsPerNauticalMile / map::kGlobeUnitsPerYard;
constexpr double kMilesAcross = 25.0;
// A picture drawn apart and then laid over the chart blends its edges in two steps instead of
// one, and each step rounds: a channel may come out one step off, which no eye can see.
constexpr int kRounding = 1;

// Two divisions' tracks zigzagging past a ship off an island, one of the tracks selected.
struct TTracks : tarnwake::testing::TTestWorld {
    map::TGlobeLayer* layer = nullptr;
    map::TGeoDataObject* british = nullptr;
    map::TGeoDataObject* german = nullptr;
    combat::TFightingShip* ship = nullptr;

    TTracks() {
        AddIsland();
        layer = ShipLayer();
        british = &Track(0, 0, {{0, 0}, {45, 4000}, {90, 8000}, {60, 14000}});
        german = &Track(1, 3, {{200, 9000}, {160, 11000}, {120, 9000}, {100, 12000}});
        german->SetSelected(true);
        tarnwake::testing::TTestShipSpec spec;
        spec.Name = "Test 1";
        ship = &world.AddShip(tarnwake::testing::MakeTestShip(spec, layer, At(300, 5000)));
    }

    struct TBearing {
        double course;
        double yards;
    };
    map::TGeoDataObject& Track(int side, int shipType, std::initializer_list<TBearing> points) {
        auto& track = layer->Create<map::TGeoDataObject>();
        track.SetRef({map::TMarkerKind::Track, side + 1});
        std::vector<TGeoPos> chain;
        for (const TBearing& p : points) {
            chain.push_back(At(p.course, p.yards));
        }
        track.SetChainPoints(0, std::move(chain));
        if (const auto id = map::TrackPresenter(world.Chart, side, shipType, messages)) {
            track.SetPresenterID(*id);
        }
        return track;
    }
};

void Aim(TChartView& view, const TGeoPos& centre, double milesAcross) {
    view.SetCentre(centre);
    view.SetAltitude(milesAcross * map::kGlobeUnitsPerNauticalMile);
}

QImage Paint(TChartView& view) {
    QImage image(kPicture, QImage::Format_RGB32);
    QPainter painter(&image);
    view.PaintChart(painter, kPicture);
    return image;
}

// The chart as drawn anew by a view of its own, keeping no pictures.
QImage DrawnAnew(engine::TGameWorld& world, const TGeoPos& centre, double milesAcross) {
    TChartView view;
    view.resize(kPicture);
    view.SetWorld(&world);
    view.SetKeepLayerPictures(false);
    Aim(view, centre, milesAcross);
    return Paint(view);
}

// The most any colour channel of a pixel differs between two pictures of one size.
int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

enum class TChange { TrackGrows, TrackEndMoves, ShipMoves, ViewMoves, ViewZooms, Selection, Style };

} // namespace

Q_DECLARE_METATYPE(TChange)

class LayerPictureTest : public QObject {
    Q_OBJECT
private slots:
    void theKeptPictureShowsWhatDrawingAnewShows() {
        TTracks scene;
        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&scene.world);
        Aim(view, scene.origin, kMilesAcross);
        const QImage anew = DrawnAnew(scene.world, scene.origin, kMilesAcross);
        // The first paint draws the picture, the second only lays it down.
        QCOMPARE_LE(LargestDifference(Paint(view), anew), kRounding);
        QCOMPARE_LE(LargestDifference(Paint(view), anew), kRounding);
    }

    void aStalePictureIsNeverShown_data() {
        QTest::addColumn<TChange>("change");
        QTest::newRow("a track grows") << TChange::TrackGrows;
        QTest::newRow("the end of a track moves") << TChange::TrackEndMoves;
        QTest::newRow("a ship in the tracks' layer moves") << TChange::ShipMoves;
        QTest::newRow("the view moves") << TChange::ViewMoves;
        QTest::newRow("the view zooms") << TChange::ViewZooms;
        QTest::newRow("a track is selected") << TChange::Selection;
        QTest::newRow("a track's style changes colour") << TChange::Style;
    }
    void aStalePictureIsNeverShown() {
        QFETCH(TChange, change);
        TTracks scene;
        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&scene.world);
        TGeoPos centre = scene.origin;
        double miles = kMilesAcross;
        Aim(view, centre, miles);
        Paint(view);                       // the view is new: drawn anew
        const QImage before = Paint(view); // the picture is made and kept

        switch (change) {
        case TChange::TrackGrows:
            scene.british->AddPoint(0, scene.At(20, 15000));
            break;
        case TChange::TrackEndMoves:
            scene.german->SetPoint(0, 3, scene.At(80, 11000));
            break;
        case TChange::ShipMoves:
            scene.ship->SetPosition(scene.At(250, 3000));
            break;
        case TChange::ViewMoves:
            centre = scene.At(90, 0.1 * kMilesAcross * kYardsPerMile);
            break;
        case TChange::ViewZooms:
            miles = 0.8 * kMilesAcross;
            break;
        case TChange::Selection:
            scene.british->SetSelected(true);
            break;
        case TChange::Style:
            scene.layer->PresenterByID(scene.british->PresenterID())->pen.colour =
                core::colors::Black;
            break;
        }
        if (change == TChange::ViewMoves || change == TChange::ViewZooms) {
            Aim(view, centre, miles);
        }
        const QImage anew = DrawnAnew(scene.world, centre, miles);
        QCOMPARE_GT(LargestDifference(anew, before), kRounding); // the change shows
        // A moved view is drawn anew at first and kept from the next paint on.
        QCOMPARE_LE(LargestDifference(Paint(view), anew), kRounding);
        QCOMPARE_LE(LargestDifference(Paint(view), anew), kRounding);
    }

    // A screen of twice the pixels: the picture is kept at the screen's own resolution.
    void theKeptPictureFollowsThePixelRatio() {
        TTracks scene;
        auto paint = [&](bool keep) {
            TChartView view;
            view.resize(kPicture);
            view.SetWorld(&scene.world);
            view.SetKeepLayerPictures(keep);
            Aim(view, scene.origin, kMilesAcross);
            QImage image(kPicture * 2, QImage::Format_RGB32);
            image.setDevicePixelRatio(2.0);
            QPainter painter(&image);
            view.PaintChart(painter, kPicture);
            view.PaintChart(painter, kPicture);
            return image;
        };
        QCOMPARE_LE(LargestDifference(paint(true), paint(false)), kRounding);
    }
};

QTEST_MAIN(LayerPictureTest)
#include "LayerPictureTest.moc"
