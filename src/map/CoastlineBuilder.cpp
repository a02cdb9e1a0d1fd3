#include "map/CoastlineBuilder.h"

#include "core/Rounding.h"
#include "core/Text.h"
#include "map/GlobeLayer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

namespace tarnwake::map {

namespace {

// Piece ends this close to the box edge (in globe units, under a metre) are on it: the dump
// writes the box edge as given, so anything nearer is rounding.
constexpr std::int64_t kSnapUnits = 20;

std::int64_t ToGlobeUnits(double degrees) {
    return core::Round(degrees * static_cast<double>(kGlobeUnitsPerDegree));
}

struct TBoxUnits {
    std::int64_t w;
    std::int64_t e;
    std::int64_t s;
    std::int64_t n;

    std::int64_t Perimeter() const { return 2 * (e - w) + 2 * (n - s); }
    bool OnEdge(const TGeoPos& p) const {
        return p.lon == w || p.lon == e || p.lat == s || p.lat == n;
    }
    // Distance along the box edge, anticlockwise from the south-west corner.
    std::int64_t Along(const TGeoPos& p) const {
        if (p.lat == s) {
            return p.lon - w;
        }
        if (p.lon == e) {
            return (e - w) + (p.lat - s);
        }
        if (p.lat == n) {
            return (e - w) + (n - s) + (e - p.lon);
        }
        return 2 * (e - w) + (n - s) + (n - p.lat);
    }
    TGeoPos Corner(int i) const {
        switch (i) {
        case 0:
            return {static_cast<std::int32_t>(w), static_cast<std::int32_t>(s), 0};
        case 1:
            return {static_cast<std::int32_t>(e), static_cast<std::int32_t>(s), 0};
        case 2:
            return {static_cast<std::int32_t>(e), static_cast<std::int32_t>(n), 0};
        default:
            return {static_cast<std::int32_t>(w), static_cast<std::int32_t>(n), 0};
        }
    }
    std::int64_t CornerAlong(int i) const {
        switch (i) {
        case 0:
            return 0;
        case 1:
            return e - w;
        case 2:
            return (e - w) + (n - s);
        default:
            return 2 * (e - w) + (n - s);
        }
    }
};

void Snap(TGeoPos& p, const TBoxUnits& box) {
    const auto near = [](std::int64_t v, std::int64_t edge) {
        return v != edge && std::llabs(v - edge) <= kSnapUnits;
    };
    if (near(p.lon, box.w)) {
        p.lon = static_cast<std::int32_t>(box.w);
    } else if (near(p.lon, box.e)) {
        p.lon = static_cast<std::int32_t>(box.e);
    }
    if (near(p.lat, box.s)) {
        p.lat = static_cast<std::int32_t>(box.s);
    } else if (near(p.lat, box.n)) {
        p.lat = static_cast<std::int32_t>(box.n);
    }
}

void DropRepeats(std::vector<TGeoPos>& points) {
    points.erase(std::unique(points.begin(), points.end()), points.end());
}

// Removes out-and-back spikes (a point whose neighbours on both sides are the same place)
// and repeated points from a closed outline; answers how many points went.
std::size_t DropSpikes(std::vector<TGeoPos>& ring) {
    std::size_t dropped = 0;
    bool changed = true;
    while (changed && ring.size() >= 3) {
        changed = false;
        const std::size_t before = ring.size();
        DropRepeats(ring);
        while (ring.size() > 1 && ring.front() == ring.back()) {
            ring.pop_back();
        }
        std::vector<TGeoPos> kept;
        kept.reserve(ring.size());
        const std::size_t n = ring.size();
        for (std::size_t i = 0; i < n; ++i) {
            const TGeoPos& prev = kept.empty() ? ring[(i + n - 1) % n] : kept.back();
            const TGeoPos& next = ring[(i + 1) % n];
            if (prev == next && n > 3) {
                changed = true; // the walk out to this point comes straight back
                continue;
            }
            kept.push_back(ring[i]);
        }
        ring = std::move(kept);
        dropped += before - ring.size();
        changed = changed || before != ring.size();
    }
    return dropped;
}

} // namespace

bool ReadGmtSegments(std::istream& in, std::vector<TCoastPiece>& pieces, std::string& error) {
    std::string line;
    std::size_t lineNumber = 0;
    bool open = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string_view text = core::TrimView(line);
        if (text.empty() || text.front() == '#') {
            continue;
        }
        if (text.front() == '>') {
            pieces.emplace_back();
            open = true;
            continue;
        }
        const std::size_t gap = text.find_first_of(" \t");
        const auto lon =
            gap == std::string_view::npos ? std::nullopt : core::ParseReal(text.substr(0, gap));
        const auto lat = gap == std::string_view::npos
                             ? std::nullopt
                             : core::ParseReal(core::TrimView(text.substr(gap + 1)));
        if (!lon || !lat || std::fabs(*lat) > 90.0 || std::fabs(*lon) > 360.0) {
            error =
                "line " + std::to_string(lineNumber) + " is not \"longitude latitude\": " + line;
            return false;
        }
        if (!open) {
            pieces.emplace_back();
            open = true;
        }
        pieces.back().push_back(TGeoPos{WrapLongitude(ToGlobeUnits(*lon)),
                                        static_cast<std::int32_t>(ToGlobeUnits(*lat)), 0});
    }
    pieces.erase(
        std::remove_if(pieces.begin(), pieces.end(), [](const auto& p) { return p.empty(); }),
        pieces.end());
    return true;
}

double OutlineAreaKm2(const std::vector<TGeoPos>& outline) {
    if (outline.size() < 3) {
        return 0.0;
    }
    constexpr double kKmPerDegree = 111.32;
    double twiceArea = 0.0;
    double latSum = 0.0;
    const double x0 = outline[0].lon;
    const double y0 = outline[0].lat;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const TGeoPos& a = outline[i];
        const TGeoPos& b = outline[(i + 1) % outline.size()];
        twiceArea += (a.lon - x0) * (b.lat - y0) - (b.lon - x0) * (a.lat - y0);
        latSum += a.lat;
    }
    const double meanLat = latSum / static_cast<double>(outline.size()) / kGlobeUnitsPerDegree;
    const double degreesSquared =
        std::fabs(twiceArea) / 2.0 /
        (static_cast<double>(kGlobeUnitsPerDegree) * kGlobeUnitsPerDegree);
    return degreesSquared * kKmPerDegree * kKmPerDegree *
           std::cos(meanLat * std::numbers::pi / 180.0);
}

TCoastReport BuildCoastline(const std::vector<TCoastPiece>& input, const TCoastBox& boxDegrees,
                            const TCoastOptions& options, TGlobeLayer& layer) {
    TCoastReport report;
    const TBoxUnits box{ToGlobeUnits(boxDegrees.west), ToGlobeUnits(boxDegrees.east),
                        ToGlobeUnits(boxDegrees.south), ToGlobeUnits(boxDegrees.north)};
    std::vector<std::vector<TGeoPos>> rings;
    std::vector<TCoastPiece> open;

    for (TCoastPiece piece : input) {
        report.piecesRead += 1;
        report.pointsRead += piece.size();
        if (piece.empty()) {
            continue;
        }
        Snap(piece.front(), box);
        Snap(piece.back(), box);
        DropRepeats(piece);
        if (piece.size() >= 3 && piece.front() == piece.back()) {
            piece.pop_back();
            rings.push_back(std::move(piece));
        } else if (piece.size() >= 2) {
            open.push_back(std::move(piece));
        }
    }

    // Join open pieces end to start into lines.
    std::multimap<std::pair<std::int32_t, std::int32_t>, std::size_t> byStart;
    for (std::size_t i = 0; i < open.size(); ++i) {
        byStart.emplace(std::make_pair(open[i].front().lon, open[i].front().lat), i);
    }
    std::vector<std::ptrdiff_t> successor(open.size(), -1);
    std::vector<bool> hasPredecessor(open.size(), false);
    for (std::size_t i = 0; i < open.size(); ++i) {
        const TGeoPos& end = open[i].back();
        if (box.OnEdge(end)) {
            continue;
        }
        const auto range = byStart.equal_range(std::make_pair(end.lon, end.lat));
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second != i && !hasPredecessor[it->second]) {
                successor[i] = static_cast<std::ptrdiff_t>(it->second);
                hasPredecessor[it->second] = true;
                break;
            }
        }
    }
    std::vector<bool> used(open.size(), false);
    std::vector<std::vector<TGeoPos>> lines;
    const auto follow = [&](std::size_t first) {
        std::vector<TGeoPos> line;
        std::ptrdiff_t at = static_cast<std::ptrdiff_t>(first);
        while (at >= 0 && !used[static_cast<std::size_t>(at)]) {
            used[static_cast<std::size_t>(at)] = true;
            const auto& piece = open[static_cast<std::size_t>(at)];
            line.insert(line.end(), line.empty() ? piece.begin() : piece.begin() + 1, piece.end());
            at = successor[static_cast<std::size_t>(at)];
        }
        return line;
    };
    for (std::size_t i = 0; i < open.size(); ++i) {
        if (!used[i] && !hasPredecessor[i]) {
            lines.push_back(follow(i));
        }
    }
    // What is left joins up into loops that never touch the box.
    for (std::size_t i = 0; i < open.size(); ++i) {
        if (!used[i]) {
            auto ring = follow(i);
            while (ring.size() > 1 && ring.front() == ring.back()) {
                ring.pop_back();
            }
            rings.push_back(std::move(ring));
        }
    }

    // Lines from box edge to box edge are closed along the box; any other is closed on itself.
    std::vector<std::size_t> boxLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (box.OnEdge(lines[i].front()) && box.OnEdge(lines[i].back())) {
            boxLines.push_back(i);
        } else {
            report.danglingEnds += 1;
            report.problems.push_back(
                "a shoreline piece ends inside the box at " +
                std::to_string(static_cast<double>(lines[i].back().lon) / kGlobeUnitsPerDegree) +
                " " +
                std::to_string(static_cast<double>(lines[i].back().lat) / kGlobeUnitsPerDegree) +
                "; it is closed on itself");
            rings.push_back(lines[i]);
        }
    }
    const std::int64_t perimeter = box.Perimeter();
    std::vector<bool> lineUsed(lines.size(), false);
    for (const std::size_t startLine : boxLines) {
        if (lineUsed[startLine]) {
            continue;
        }
        std::vector<TGeoPos> ring;
        std::size_t current = startLine;
        while (true) {
            lineUsed[current] = true;
            ring.insert(ring.end(), lines[current].begin(), lines[current].end());
            const std::int64_t from = box.Along(lines[current].back());
            // The next line in along the edge, anticlockwise; the first line itself closes it.
            std::size_t next = startLine;
            std::int64_t best = -1;
            for (const std::size_t candidate : boxLines) {
                if (lineUsed[candidate] && candidate != startLine) {
                    continue;
                }
                std::int64_t gap = (box.Along(lines[candidate].front()) - from) % perimeter;
                if (gap < 0) {
                    gap += perimeter;
                }
                if (best < 0 || gap < best) {
                    best = gap;
                    next = candidate;
                }
            }
            // Box corners passed on the way, nearest first.
            std::vector<std::pair<std::int64_t, int>> corners;
            for (int corner = 0; corner < 4; ++corner) {
                std::int64_t gap = (box.CornerAlong(corner) - from) % perimeter;
                if (gap < 0) {
                    gap += perimeter;
                }
                if (gap > 0 && gap < best) {
                    corners.emplace_back(gap, corner);
                }
            }
            std::sort(corners.begin(), corners.end());
            for (const auto& corner : corners) {
                ring.push_back(box.Corner(corner.second));
            }
            if (next == startLine) {
                break;
            }
            current = next;
        }
        rings.push_back(std::move(ring));
    }

    for (auto& ring : rings) {
        report.spikePointsDropped += DropSpikes(ring);
        if (ring.size() < 3) {
            continue;
        }
        const bool touchesBox =
            std::any_of(ring.begin(), ring.end(), [&](const TGeoPos& p) { return box.OnEdge(p); });
        if (!touchesBox && OutlineAreaKm2(ring) < options.minIslandKm2) {
            report.islandsDropped += 1;
            continue;
        }
        report.polygons += 1;
        report.points += ring.size();
        TGeoDataObject& object = layer.Create();
        object.SetClosed(true);
        object.SetChainPoints(0, std::move(ring));
    }
    return report;
}

} // namespace tarnwake::map
