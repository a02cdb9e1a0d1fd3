#include "ui/ChartPosition.h"

#include "map/Geometry.h"

#include <QLocale>
#include <cmath>
#include <cstdlib>

namespace tarnwake::ui {

namespace {

constexpr int kMinutesPerDegree = 60;

// Degrees and whole minutes of one co-ordinate, rounded to the nearest minute.
QString Angle(std::int64_t units, char positive, char negative, int degreeWidth) {
    const std::int64_t minutes =
        (std::llabs(units) + map::kGlobeUnitsPerMinute / 2) / map::kGlobeUnitsPerMinute;
    return QString("%1°%2'%3")
        .arg(minutes / kMinutesPerDegree, degreeWidth, 10, QChar('0'))
        .arg(minutes % kMinutesPerDegree, 2, 10, QChar('0'))
        .arg(QChar(units < 0 ? negative : positive));
}

} // namespace

QString PositionText(const map::TGeoPos& p) {
    return Angle(p.lat, 'N', 'S', 2) + " " + Angle(p.lon, 'E', 'W', 1);
}

QString RangeBearingText(const map::TGeoPos& from, const map::TGeoPos& to) {
    const auto yards = static_cast<qlonglong>(std::llround(map::RangeYards(from, to)));
    return QString("%1 yds %2°")
        .arg(QLocale(QLocale::English).toString(yards))
        .arg(map::BearingBetween(from, to), 3, 10, QChar('0'));
}

} // namespace tarnwake::ui
