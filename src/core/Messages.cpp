#include "core/Messages.h"

#include "core/Text.h"

#include <algorithm>
#include <iostream>

namespace tarnwake::core {

namespace {
constexpr TButton kButtonOrder[] = {btOk, btYes, btYesToAll, btNo, btNoToAll, btCancel};
}

const char* MessageKindName(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Information:
        return "information";
    case TMessageKind::Warning:
        return "warning";
    case TMessageKind::Error:
        return "error";
    case TMessageKind::Confirmation:
        return "question";
    }
    return "message";
}

const char* ButtonCaption(TButton button) {
    switch (button) {
    case btOk:
        return "OK";
    case btCancel:
        return "Cancel";
    case btYes:
        return "Yes";
    case btNo:
        return "No";
    case btYesToAll:
        return "Yes to all";
    case btNoToAll:
        return "No to all";
    case btNone:
        break;
    }
    return "";
}

TButton DefaultButton(TButtons buttons, TButton preferred) {
    if (preferred != btNone && (buttons & preferred) != 0) {
        return preferred;
    }
    for (TButton b : kButtonOrder) {
        if ((buttons & b) != 0) {
            return b;
        }
    }
    return btOk;
}

THeadlessMessages::THeadlessMessages(std::ostream* out) : out_(out) {}
THeadlessMessages::THeadlessMessages() : out_(&std::cerr) {}

void THeadlessMessages::ShowMessage(TMessageKind kind, const std::string& text) {
    shown_.push_back({kind, text, btOk, btOk});
    if (out_ != nullptr) {
        *out_ << "[" << MessageKindName(kind) << "] " << text << '\n';
    }
}

TButton THeadlessMessages::Ask(const std::string& text, TButtons buttons, TButton preferred) {
    TButton answer = btNone;
    while (!answers_.empty() && answer == btNone) {
        const TButton next = answers_.front();
        answers_.pop_front();
        if ((buttons & next) != 0) {
            answer = next;
        }
    }
    if (answer == btNone) {
        answer = DefaultButton(buttons, preferred);
    }
    shown_.push_back({TMessageKind::Confirmation, text, buttons, answer});
    if (out_ != nullptr) {
        *out_ << "[question] " << text << " -> " << ButtonCaption(answer) << '\n';
    }
    return answer;
}

std::optional<std::string> THeadlessMessages::InputBox(const std::string& caption,
                                                       const std::string& prompt,
                                                       const std::string& defaultValue) {
    std::string value = defaultValue;
    if (!inputs_.empty()) {
        value = inputs_.front();
        inputs_.pop_front();
    }
    shown_.push_back({TMessageKind::Confirmation, caption + ": " + prompt, btOk | btCancel, btOk});
    if (out_ != nullptr) {
        *out_ << "[input] " << caption << ": " << prompt << " -> " << value << '\n';
    }
    return value;
}

bool THeadlessMessages::QueueAnswers(const std::string& commaSeparated) {
    std::string_view rest = commaSeparated;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string word = ToLowerAscii(TrimView(rest.substr(0, comma)));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        TButton b = btNone;
        for (TButton candidate : kButtonOrder) {
            if (EqualsNoCase(word, ButtonCaption(candidate))) {
                b = candidate;
            }
        }
        if (b == btNone) {
            return false;
        }
        answers_.push_back(b);
    }
    return true;
}

std::vector<std::string> THeadlessMessages::Texts() const {
    std::vector<std::string> texts;
    texts.reserve(shown_.size());
    for (const auto& m : shown_) {
        texts.push_back(m.text);
    }
    return texts;
}

bool THeadlessMessages::Contains(const std::string& fragment) const {
    for (const auto& m : shown_) {
        if (m.text.find(fragment) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void TMessageGroup::Begin() {
    gathering_ = true;
    gravest_ = TMessageKind::Information;
    gathered_.clear();
}

void TMessageGroup::End(const std::string& heading) {
    gathering_ = false;
    if (gathered_.size() == 1) {
        shown_->ShowMessage(gravest_, gathered_.front());
    } else if (!gathered_.empty()) {
        std::string text = heading + " gave " + std::to_string(gathered_.size()) + " messages:";
        for (const std::string& message : gathered_) {
            text += "\n\n" + message;
        }
        shown_->ShowMessage(gravest_, text);
    }
    gathered_.clear();
}

void TMessageGroup::ShowMessage(TMessageKind kind, const std::string& text) {
    if (!gathering_) {
        shown_->ShowMessage(kind, text);
        return;
    }
    if (std::find(gathered_.begin(), gathered_.end(), text) == gathered_.end()) {
        gathered_.push_back(text);
    }
    // Errors outrank warnings, warnings outrank information.
    if (kind == TMessageKind::Error ||
        (kind == TMessageKind::Warning && gravest_ == TMessageKind::Information)) {
        gravest_ = kind;
    }
}

TButton TMessageGroup::Ask(const std::string& text, TButtons buttons, TButton preferred) {
    return shown_->Ask(text, buttons, preferred);
}

std::optional<std::string> TMessageGroup::InputBox(const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string& defaultValue) {
    return shown_->InputBox(caption, prompt, defaultValue);
}

std::string ProcedureErrorText(const std::string& procedure, const std::string& subject,
                               const std::string& what) {
    std::string text = "Error in " + procedure + " procedure!\n";
    if (!subject.empty()) {
        text += subject + "\n";
    }
    return text + what;
}

} // namespace tarnwake::core
