#include "engine/ContactReports.h"

#include "campaign/SearchArea.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "map/GamePresenters.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <algorithm>
#include <exception>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;

namespace {

// The player's reports: a division reported before is reported again less readily, and a
// long list of reports takes a new one only every other time.
constexpr int kReportedDice = 5;
constexpr int kCoinTossAbove = 49;
constexpr int kCrowdedReports = 9;
// The course a lookout signals is out by up to 30 degrees either way; the computer's by 10.
constexpr int kPlayerCourseError = 30;
constexpr int kComputerCourseError = 10;
// A signal takes five minutes and more, the more reports there are to pass (at most ten).
constexpr int kSignalMinutes = 5;
constexpr int kMostBacklog = 10;
// The computer's reports arrive within the first quarter hour.
constexpr int kComputerDeliveryDice = 15;
// The marker stands somewhere between these ranges from the reported ship.
constexpr int kMarkerFarYards = 30000;
constexpr int kMarkerNearYards = 1500;

// Garbling: the chances (in tenths) that a lookout takes all the armoured cruisers for capital
// ships, the destroyers for light cruisers and the light cruisers for armoured ones.
constexpr int kTenths = 10;
constexpr int kEvenAbove = 4;
constexpr int kArmouredAsCapitalTenths = 2;
constexpr int kDestroyersAsCruisersTenths = 5;
constexpr int kLightAsArmouredTenths = 4;
// Up to three ships that are not there, and up to five left out.
constexpr int kPhantomRounds = 3;
constexpr int kPhantomDice = 16;
constexpr int kPhantomSquadron = 5;
constexpr int kOmissionRounds = 5;
constexpr int kOmissionDice = 8;
// A ship seen but not made out is guessed at: big or small, capital ship or not.
constexpr TReportedKind kGuesses[] = {rkBB, rkBC, rkCL, rkDD};

// The computer's reports: beyond a hundred of one side half are forgotten each minute, and
// one whose dead-reckoned position lies ashore is dropped now and again.
constexpr int kMostComputerReports = 100;
constexpr int kCullPercent = 50;
constexpr int kAshorePercent = 10;
constexpr int kDeadReckoningYardsPerMinute = 600;
// What each reported ship adds to the threat the side feels.
constexpr std::int64_t kThreatDD = 2000;
constexpr std::int64_t kThreatCL = 9000;
constexpr std::int64_t kThreatCA = 30000;
constexpr std::int64_t kThreatBB = 100000;

// A report's score by kind; capital ships rate battle cruisers above battleships.
constexpr std::array<std::int64_t, kReportedKinds> kScore = {100000, 80000, 40000, 25000,
                                                             8000,   10,    15};
constexpr std::int64_t kBigShipScoreBB = 90000;
constexpr std::int64_t kBigShipScoreBC = 120000;
// Ageing: a tenth off (rounded) past each of these minutes, then a tenth off (truncated)
// past each of the next.
constexpr int kRoundedAges[] = {10, 20, 40, 60};
constexpr int kTruncatedAges[] = {120, 180, 240};
constexpr int kOldestReport = 500;
constexpr double kNearReportYards = 50000.0;
constexpr double kFarReportYards = 120000.0;
constexpr double kFarthestReportYards = 200000.0;

int Percent(core::TRandomGenerator& random) {
    return random.Random(100);
}

bool EvenChance(core::TRandomGenerator& random) {
    return random.Random(kTenths) > kEvenAbove;
}

bool ValidSide(int side) {
    return side == 0 || side == 1;
}

int& Count(TComposition& composition, int kind) {
    return composition[static_cast<std::size_t>(kind)];
}

// All ships of one kind are taken for another, or all but a few left as they were.
void Mistake(TComposition& composition, int from, int to, int tenths,
             core::TRandomGenerator& random) {
    int& seen = Count(composition, from);
    if (seen <= 0 || random.Random(kTenths) >= tenths) {
        return;
    }
    const int kept = EvenChance(random) ? random.Random(seen) : 0;
    Count(composition, to) += seen - kept;
    seen = kept;
}

// The report as it stands when made, for the player's list or the computer's.
void FileReport(TGameWorld& world, const TFightingShip& reported, const TDivision& division,
                const TFightingShip& reporter, int course, int delivery,
                const TComposition& composition, bool forPlayer) {
    const TFightingShip& flag = *division.Flagship();
    // Only the player's reports are ever shown: the computer's stay off the chart.
    map::TGlobeLayer* shipLayer = forPlayer ? world.Chart.FindLayer("ShipLayer") : nullptr;
    auto report = std::make_unique<TReport>(shipLayer);
    report->Reporter = reporter.Id;
    report->ReporterName = reporter.Name;
    report->Side = reporter.Side;
    report->ReportedPosition = flag.Position();
    report->Course = course;
    report->Bearing = map::BearingBetween(reporter.Position(), reported.Position());
    report->Delivery = delivery;
    report->MinuteStamp = world.TimeElapsed;
    report->Clock = world.Clock;
    report->Composition = composition;
    OfferImportantEnemy(world, reporter.Side, flag);
    map::TGeoDataObject& marker = *report->Marker;
    // Where the marker stands is for the eye alone.
    marker.SetStoredPoint(forPlayer ? map::RandomFreePointNear(world.Chart, reported.Position(),
                                                               kMarkerFarYards, kMarkerNearYards,
                                                               &reported, world.Cosmetic())
                                    : report->ReportedPosition);
    marker.SetHidden(true);
    marker.SetTitle(report->Title());
    if (forPlayer && shipLayer != nullptr) {
        if (const auto style = map::ReportPresenter(world.Chart, report->Side, world.Messages())) {
            marker.SetPresenterID(*style);
        }
    }
    world.AddReport(std::move(report), forPlayer);
}

map::TGeoPos DeadReckoned(const TReport& report, int now) {
    if (report.Course == 0) {
        return report.ReportedPosition;
    }
    return map::MovePoint(report.ReportedPosition, report.Course,
                          static_cast<double>(now - report.MinuteStamp) *
                              kDeadReckoningYardsPerMinute);
}

std::int64_t Threat(const TComposition& c) {
    return kThreatDD * c[rkDD] + kThreatCL * c[rkCL] + kThreatCA * c[rkCA] + kThreatBB * c[rkBB];
}

std::int64_t Tenths(std::int64_t value, int tenths) {
    return core::RoundRatio(value * tenths, kTenths);
}

} // namespace

TComposition KnownComposition(const TDivision& division, core::TRandomGenerator& random) {
    TComposition composition{};
    for (const TFightingShip* ship : division.Ships) {
        std::optional<int> kind;
        if (ship->SightingLevel >= combat::kClassIdentified) {
            kind = ReportedKindOf(ship->ShipType);
        } else if (ship->SightingLevel == combat::kTypeIdentified) {
            kind = ReportedKindOf(
                designs::ShipTypeFromCode(ship->IdentifiedType).value_or(ship->ShipType));
        } else if (ship->SightingLevel > combat::kUnseen) {
            kind = kGuesses[random.Random(static_cast<int>(std::size(kGuesses)))];
        }
        if (kind) {
            ++Count(composition, *kind);
        }
    }
    return composition;
}

void Garble(TComposition& composition, core::TRandomGenerator& random) {
    int& armoured = Count(composition, rkCA);
    if (armoured > 0 && random.Random(kTenths) < kArmouredAsCapitalTenths) {
        Count(composition, EvenChance(random) ? rkBC : rkBB) += armoured;
        armoured = 0;
    }
    Mistake(composition, rkDD, rkCL, kDestroyersAsCruisersTenths, random);
    Mistake(composition, rkCL, rkCA, kLightAsArmouredTenths, random);
    for (int round = random.Random(kPhantomRounds) + 1; round > 0; --round) {
        const int roll = random.Random(kPhantomDice);
        if (roll <= rkDD) {
            ++Count(composition, roll);
            continue;
        }
        // Now and again a whole squadron that is not there.
        constexpr TReportedKind kSquadrons[] = {rkBB, rkCA, rkCL, rkDD};
        const int squadron = roll - rkDD - 1;
        if (squadron < static_cast<int>(std::size(kSquadrons))) {
            Count(composition, kSquadrons[squadron]) += random.Random(kPhantomSquadron);
        }
    }
    for (int round = random.Random(kOmissionRounds) + 1; round > 0; --round) {
        const int roll = random.Random(kOmissionDice);
        if (roll <= rkDD) {
            int& count = Count(composition, roll);
            count = std::max(0, count - 1);
        }
    }
}

void CreateReport(TGameWorld& world, TFightingShip& reported, TFightingShip& reporter) {
    TDivision* division = world.DivisionOfShip(&reported);
    if (division == nullptr || division->Flagship() == nullptr) {
        return;
    }
    core::TRandomGenerator& random = world.Random();
    const int backlog =
        static_cast<int>(std::count_if(world.PlayerReports.begin(), world.PlayerReports.end(),
                                       [&](const auto& r) { return r->Side != reported.Side; }));
    const int times = division->Reported;
    const bool made = random.Random(times + kReportedDice) >= times &&
                      (times < 1 || Percent(random) > kCoinTossAbove) &&
                      (backlog < kCrowdedReports || Percent(random) > kCoinTossAbove);
    if (!made) {
        return;
    }
    ++division->Reported;
    const int course = map::AddBearing(division->Course,
                                       kPlayerCourseError - random.Random(2 * kPlayerCourseError));
    const int late = std::min(backlog, kMostBacklog);
    const int delivery = late + world.TimeElapsed + random.Random(late) + kSignalMinutes;
    TComposition composition = KnownComposition(*division, random);
    Garble(composition, random);
    FileReport(world, reported, *division, reporter, course, delivery, composition, true);
}

void CreateReportExactForAI(TGameWorld& world, TFightingShip& reported, TFightingShip& reporter) {
    core::RunGuarded(
        world.Messages(), "CreateReportExactForAI", "Sighted ship: " + reported.Name, [&] {
            const TDivision* division = world.DivisionOfShip(&reported);
            if (division == nullptr || division->Flagship() == nullptr) {
                return;
            }
            core::TRandomGenerator& random = world.Random();
            const int course = map::AddBearing(
                division->Course, kComputerCourseError - random.Random(2 * kComputerCourseError));
            // A minute number, not a delay: after the first quarter hour the
            // computer has its reports at once.
            const int delivery = random.Random(kComputerDeliveryDice) + 1;
            TComposition composition{};
            for (const TFightingShip* ship : division->Ships) {
                const auto kind = ReportedKindOf(ship->ShipType);
                if (ship->SightingLevel > combat::kUnseen && kind) {
                    ++Count(composition, *kind);
                }
            }
            // The computer errs on the safe side: one more of each kind.
            for (int& count : composition) {
                count += count > 0 ? 1 : 0;
            }
            FileReport(world, reported, *division, reporter, course, delivery, composition, false);
        });
}

void UpdateReports(TGameWorld& world) {
    const int now = world.TimeElapsed;
    core::TRandomGenerator& random = world.Random();
    // The threat is what the reports in hand add up to now, not a running total: the same
    // reports every minute make the same threat.
    for (TSide& side : world.Sides) {
        side.ThreatSum = 0;
    }
    std::array<int, 2> examined{};
    auto& computer = world.ComputerReports;
    for (auto it = computer.begin(); it != computer.end();) {
        const TReport& report = **it;
        const bool valid = ValidSide(report.Side);
        bool drop = valid &&
                    ++examined[static_cast<std::size_t>(report.Side)] > kMostComputerReports &&
                    Percent(random) < kCullPercent;
        drop = drop || (world.Chart.IsOnLand(DeadReckoned(report, now)) &&
                        Percent(random) < kAshorePercent);
        if (drop) {
            it = computer.erase(it);
            continue;
        }
        if (valid && report.Delivered(now)) {
            TSide& side = world.Sides[static_cast<std::size_t>(report.Side)];
            side.Alerted = true;
            side.ThreatSum += Threat(report.Composition);
        }
        ++it;
    }
    for (const auto& report : world.PlayerReports) {
        if (report->Delivery != now) {
            continue;
        }
        report->Arrived = true;
        if (ValidSide(report->Side)) {
            world.Sides[static_cast<std::size_t>(report->Side)].Alerted = true;
        }
        if (report->Side != world.PlayerSide && world.PlayerSide != kWatchingSide) {
            continue;
        }
        report->Marker->SetHidden(false);
        const bool bringForward = world.Preferences.Log.BreakOnSighting > 0;
        if (bringForward) {
            world.PausePending = true;
            world.Log.AddBreakReason("Contact report");
        }
        if (world.View() != nullptr) {
            world.View()->ReportDelivered(*report, bringForward);
        }
    }
}

void ReduceSearchAreaReports(TGameWorld& world) {
    try {
        for (const auto& area : world.SearchAreas) {
            area->SpotCount = std::max(0, area->SpotCount - 1);
        }
    } catch (const std::exception& e) {
        world.Messages().Error(std::string("Error Reducing Search area reports!\n") + e.what());
    }
}

std::int64_t ReportScore(const TGameWorld& world, const TReport& report,
                         const map::TGeoPos* position, bool bigShips) {
    std::int64_t score = 0;
    for (int kind = 0; kind < kReportedKinds; ++kind) {
        std::int64_t each = kScore[static_cast<std::size_t>(kind)];
        if (bigShips && kind == rkBB) {
            each = kBigShipScoreBB;
        } else if (bigShips && kind == rkBC) {
            each = kBigShipScoreBC;
        }
        score += each * report.Composition[static_cast<std::size_t>(kind)];
    }
    const int age = world.TimeElapsed - report.MinuteStamp;
    for (const int minutes : kRoundedAges) {
        score = age > minutes ? Tenths(score, 9) : score;
    }
    for (const int minutes : kTruncatedAges) {
        score = age > minutes ? score * 9 / kTenths : score;
    }
    if (position != nullptr) {
        const double range = map::RangeYards(*position, report.ReportedPosition);
        score = range < kNearReportYards ? Tenths(score, 11) : score;
        score = range > kFarReportYards ? Tenths(score, 9) : score;
        score = range > kFarthestReportYards ? Tenths(score, 8) : score;
    }
    return score;
}

TReport* BestReport(const TGameWorld& world, int side, const map::TGeoPos* position,
                    bool bigShips) {
    const int now = world.TimeElapsed;
    TReport* best = nullptr;
    std::int64_t bestScore = 0;
    for (const auto& report : world.ComputerReports) {
        if (report->Side != side || !report->Delivered(now) || report->Checked ||
            now - report->MinuteStamp >= kOldestReport) {
            continue;
        }
        const std::int64_t score = ReportScore(world, *report, position, bigShips);
        if (best == nullptr || score > bestScore) {
            best = report.get();
            bestScore = score;
        }
    }
    return best;
}

std::vector<const TReport*> PlayerReportList(const TGameWorld& world) {
    std::vector<const TReport*> list;
    for (const auto& report : world.PlayerReports) {
        if (report->Arrived &&
            (report->Side == world.PlayerSide || world.PlayerSide == kWatchingSide)) {
            list.push_back(report.get());
        }
    }
    return list;
}

bool SideAlerted(const TGameWorld& world, int side) {
    return ValidSide(side) && world.Sides[static_cast<std::size_t>(side)].Alerted;
}

void SendPositionReport(TGameWorld&, combat::TDivision&) {}

} // namespace tarnwake::engine
