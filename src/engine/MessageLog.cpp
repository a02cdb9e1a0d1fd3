#include "engine/MessageLog.h"

#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "designs/ShipTypes.h"

#include <algorithm>

namespace tarnwake::engine {

namespace {

constexpr core::TColor kDarkRed = 128;
constexpr core::TColor kRed = 255;
constexpr core::TColor kBlue = 16711680;
constexpr core::TColor kGrey = 8421504;
constexpr int kLargerText = 2;

// Sound options: each effect plays only up to a level of the preference.
constexpr int kSoundsForHitsAndExplosions = 3;
constexpr int kSoundsForLaunches = 2;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

void TMessageLog::AddLogLine(std::string text, TLogObject object) {
    minute_.push_back({std::move(text), object});
}

TFlushResult TMessageLog::FlushLog(const TFlushContext& context) {
    TFlushResult result;
    const TLogSettings& settings = context.settings;
    const auto play = [&](const char* file) { context.sound.PlaySound(context.soundsDir / file); };
    const std::string time = core::FormatTime(context.clock) + " ";

    displayed_.clear();
    result.showLogTab = !minute_.empty();
    bool launchSound = false;
    std::size_t index = 0;
    for (; index < minute_.size(); ++index) {
        const TLine& line = minute_[index];
        if (line.text.size() <= 1) {
            continue;
        }
        if (line.text.find("is launching ") != std::string::npos &&
            settings.SoundOption <= kSoundsForLaunches) {
            launchSound = true;
        }
        const char marker = line.text.front();
        const std::string body = line.text.substr(1);
        const bool allowsHitSounds = settings.SoundOption <= kSoundsForHitsAndExplosions;
        TStyledLine styled{body, core::colors::Black, true, 0, line.object};
        bool popUp = false;
        switch (marker) {
        case '1':
            styled.bold = false;
            break;
        case '2': {
            const auto* id = std::get_if<combat::TShipId>(&line.object);
            const combat::TFightingShip* ship =
                id != nullptr && context.findShip ? context.findShip(*id) : nullptr;
            if (ship != nullptr && designs::TypeIndex(ship->ShipType) <= settings.BreakOnHit) {
                result.breakRequested = true;
                breakReason_ += "Gun hit " + std::string(designs::TypeCode(ship->ShipType)) + "\n";
            }
            if (settings.SoundOption == 1 || settings.SoundOption == 2) {
                gunfire_ = true;
            }
            break;
        }
        case '4':
            styled.color = kDarkRed;
            break;
        case '5': {
            styled.color = kRed;
            styled.sizeStep = kLargerText;
            result.breakRequested = true;
            popUp = true;
            const bool second = context.cosmetic.Random(100) > 49;
            if (allowsHitSounds) {
                play(second ? "Water2.wav" : "Water.wav");
            }
            break;
        }
        case '6':
            styled.color = kDarkRed;
            result.breakRequested = true;
            break;
        case '7':
            styled.color = kDarkRed;
            result.breakRequested = true;
            popUp = true;
            if (allowsHitSounds && line.text.find("Collision") != std::string::npos) {
                play("Collision.wav");
            }
            break;
        case '8':
            styled.color = kBlue;
            result.breakRequested = result.breakRequested || settings.BreakOnTorpedoHit;
            popUp = settings.BreakOnTorpedoHit;
            if (allowsHitSounds) {
                play("TorpHit.wav");
            }
            break;
        case '9':
            styled.color = kRed;
            styled.sizeStep = kLargerText;
            result.breakRequested = true;
            popUp = true;
            if (allowsHitSounds) {
                play("Explosion.wav");
            }
            break;
        default:
            // Not a marker: the line is shown whole, plain.
            styled.text = line.text;
            styled.bold = false;
            break;
        }
        displayed_.push_back(styled);
        if (popUp) {
            context.messages.Inform(body);
        }
        fullLog_.push_back({line.text, line.object, time, false});
        if (index + 1 == kMaxLinesPerMinute && index + 1 < minute_.size()) {
            context.messages.Warn("DEBUG 1000+ lines");
            break;
        }
    }

    if (launchSound) {
        play("TorpedoLaunch.wav");
    }
    if (gunfire_) {
        const int n = context.cosmetic.Random(5) + 1;
        context.sound.PlaySound(context.soundsDir / ("Gunfire" + std::to_string(n) + ".wav"));
    }

    for (const TLine& line : previous_) {
        if (line.text.size() <= 1) {
            continue;
        }
        const bool marked = IsDigit(line.text.front());
        displayed_.push_back(
            {marked ? line.text.substr(1) : line.text, kGrey, false, 0, line.object});
    }

    previous_.clear();
    for (TLine& line : minute_) {
        if (!line.text.empty()) {
            previous_.push_back(std::move(line));
        }
    }
    minute_.clear();
    return result;
}

void TMessageLog::AddLogNote(const std::string& text, core::TColor color, bool bold,
                             core::TDateTime clock) {
    displayed_.push_back({text, color, bold, 0, {}});
    fullLog_.push_back({text, {}, core::FormatTime(clock) + " ", true});
}

void TMessageLog::Clear() {
    minute_.clear();
    previous_.clear();
    displayed_.clear();
    fullLog_.clear();
    breakReason_.clear();
    gunfire_ = false;
}

} // namespace tarnwake::engine
