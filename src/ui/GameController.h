#pragma once

#include "engine/GameWorld.h"

#include <QObject>
#include <QTimer>

namespace tarnwake::ui {

// Runs the world's clock with two timers: the run timer starts minutes, the sub-step timer
// moves the ships within a minute. The world says which timer should run and at what
// interval; after every tick the controller asks again.
//
// A message box raised inside a phase runs its own event loop, so a timer may fire while a
// tick is still in progress: such a tick is skipped, and the world's flags (MinuteReady)
// keep a second minute from starting before the first is finished.
class TGameController : public QObject, public engine::IGameView {
    Q_OBJECT
public:
    explicit TGameController(QObject* parent = nullptr);
    ~TGameController() override;

    // The world whose clock runs (nullptr: none); stops the timers of the previous one.
    void SetWorld(engine::TGameWorld* world);
    engine::TGameWorld* World() const { return world_; }

    // "Turn" 1, "Run 5 minutes" 5, "Run" engine::TGameWorld::kRunUntilStopped.
    void Run(int minutes);
    // Pause at the end of the minute in progress.
    void Pause();
    // One run-timer tick at once: the next minute starts now.
    void TickNow();
    void SetSpeed(int index);
    // Whether a run is in progress (either timer running).
    bool Running() const;

    const QTimer& RunTimer() const { return runTimer_; }
    const QTimer& SubStepTimer() const { return subStepTimer_; }

    // engine::IGameView
    void MinuteFinished() override { emit minuteFinished(); }
    void RunEnded() override {}
    void ShowResults() override { emit resultsDue(); }
    void ReportDelivered(const engine::TReport&, bool bringForward) override {
        emit reportDelivered(bringForward);
    }

signals:
    void minuteFinished();
    // Ships moved: the chart should be redrawn.
    void subStepped();
    // Neither timer runs any more.
    void runEnded();
    // A run started or stopped, or a pause was requested: buttons and captions change.
    void stateChanged();
    void resultsDue();
    // A contact report reached the player; with `bringForward` the reports come to the front.
    void reportDelivered(bool bringForward);

private:
    void OnRunTimer();
    void OnSubStepTimer();
    // Starts or stops each timer as the world's flags say.
    void Sync();

    engine::TGameWorld* world_ = nullptr;
    QTimer runTimer_;
    QTimer subStepTimer_;
    bool inTick_ = false;
    bool wasRunning_ = false;
};

} // namespace tarnwake::ui
