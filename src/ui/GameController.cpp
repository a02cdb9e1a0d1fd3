#include "ui/GameController.h"

namespace tarnwake::ui {

TGameController::TGameController(QObject* parent) : QObject(parent) {
    connect(&runTimer_, &QTimer::timeout, this, &TGameController::OnRunTimer);
    connect(&subStepTimer_, &QTimer::timeout, this, &TGameController::OnSubStepTimer);
}

TGameController::~TGameController() {
    if (world_ != nullptr) {
        world_->SetView(nullptr);
    }
}

void TGameController::SetWorld(engine::TGameWorld* world) {
    runTimer_.stop();
    subStepTimer_.stop();
    if (world_ != nullptr) {
        world_->SetView(nullptr);
    }
    world_ = world;
    wasRunning_ = false;
    if (world_ != nullptr) {
        world_->SetView(this);
    }
    emit stateChanged();
}

void TGameController::Run(int minutes) {
    if (world_ == nullptr || inTick_) {
        return;
    }
    world_->RunMinutes(minutes);
    Sync();
}

void TGameController::Pause() {
    if (world_ == nullptr) {
        return;
    }
    world_->RequestPause();
    emit stateChanged();
}

void TGameController::TickNow() {
    if (world_ == nullptr) {
        return;
    }
    OnRunTimer();
}

void TGameController::SetSpeed(int index) {
    if (world_ == nullptr) {
        return;
    }
    world_->SetGameSpeed(index);
    Sync();
}

bool TGameController::Running() const {
    return world_ != nullptr && (world_->RunTimerEnabled || world_->SubStepTimerEnabled);
}

void TGameController::OnRunTimer() {
    if (world_ == nullptr || inTick_) {
        return;
    }
    inTick_ = true;
    world_->RunTimerTick();
    inTick_ = false;
    Sync();
}

void TGameController::OnSubStepTimer() {
    if (world_ == nullptr || inTick_) {
        return;
    }
    inTick_ = true;
    world_->SubStepTick();
    inTick_ = false;
    emit subStepped();
    Sync();
}

void TGameController::Sync() {
    if (world_ == nullptr) {
        return;
    }
    // The intervals follow the speed, which may change during a run.
    if (world_->RunTimerEnabled) {
        if (runTimer_.interval() != world_->RunTimerInterval() || !runTimer_.isActive()) {
            runTimer_.start(world_->RunTimerInterval());
        }
    } else {
        runTimer_.stop();
    }
    if (world_->SubStepTimerEnabled) {
        if (subStepTimer_.interval() != world_->SubStepTimerInterval() ||
            !subStepTimer_.isActive()) {
            subStepTimer_.start(world_->SubStepTimerInterval());
        }
    } else {
        subStepTimer_.stop();
    }
    const bool running = Running();
    if (running != wasRunning_) {
        wasRunning_ = running;
        emit stateChanged();
        if (!running) {
            emit runEnded();
        }
    }
}

} // namespace tarnwake::ui
