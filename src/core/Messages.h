#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::core {

// Message boxes, confirmations and input boxes. The rules raise them by their exact texts;
// the desktop program shows real dialogs, the headless runner and the tests use
// THeadlessMessages below.

enum class TMessageKind { Information, Warning, Error, Confirmation };

// The buttons of a question, combined as flags; the answer is the one button pressed.
enum TButton : std::uint32_t {
    btNone = 0,
    btOk = 1u << 0,
    btCancel = 1u << 1,
    btYes = 1u << 2,
    btNo = 1u << 3,
    btYesToAll = 1u << 4,
    btNoToAll = 1u << 5,
};
using TButtons = std::uint32_t;

inline constexpr TButtons kOkCancel = btOk | btCancel;
inline constexpr TButtons kYesNo = btYes | btNo;
inline constexpr TButtons kYesNoAll = btYes | btNo | btYesToAll | btNoToAll;

const char* MessageKindName(TMessageKind kind);
const char* ButtonCaption(TButton button);

class IMessages {
public:
    virtual ~IMessages() = default;

    virtual void ShowMessage(TMessageKind kind, const std::string& text) = 0;
    // Asks a question with the given buttons; `preferred` is the button a headless run
    // takes when nobody answers (btNone: the first of the buttons in the order above).
    virtual TButton Ask(const std::string& text, TButtons buttons, TButton preferred = btNone) = 0;
    // Asks for a line of text; no value when the player cancels.
    virtual std::optional<std::string> InputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& defaultValue) = 0;

    void Inform(const std::string& text) { ShowMessage(TMessageKind::Information, text); }
    void Warn(const std::string& text) { ShowMessage(TMessageKind::Warning, text); }
    void Error(const std::string& text) { ShowMessage(TMessageKind::Error, text); }
    bool ConfirmYesNo(const std::string& text, TButton preferred = btNone) {
        return Ask(text, kYesNo, preferred) == btYes;
    }
    bool ConfirmOkCancel(const std::string& text, TButton preferred = btNone) {
        return Ask(text, kOkCancel, preferred) == btOk;
    }
};

// The button taken when a question gets no answer of its own.
TButton DefaultButton(TButtons buttons, TButton preferred);

// The headless message service: every message goes to a stream (standard error by default)
// with its kind, and is kept so that a test can read back all that was shown. Questions are
// answered from a queue of scripted answers, then by the default rule of DefaultButton.
class THeadlessMessages : public IMessages {
public:
    struct TShown {
        TMessageKind kind = TMessageKind::Information;
        std::string text;
        TButtons buttons = btNone;
        TButton answer = btNone;
    };

    // `out` may be null for silence.
    explicit THeadlessMessages(std::ostream* out);
    THeadlessMessages();

    void ShowMessage(TMessageKind kind, const std::string& text) override;
    TButton Ask(const std::string& text, TButtons buttons, TButton preferred = btNone) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultValue) override;

    // Answers for the next questions, in order ("yes", "no", "ok", "cancel", "yes to all",
    // "no to all"). An answer that is not one of a question's buttons is skipped for it.
    void QueueAnswer(TButton answer) { answers_.push_back(answer); }
    // Parses "yes,no,yes to all"; false when a word is not an answer.
    bool QueueAnswers(const std::string& commaSeparated);
    void QueueInput(std::string text) { inputs_.push_back(std::move(text)); }

    const std::vector<TShown>& Shown() const { return shown_; }
    std::vector<std::string> Texts() const;
    bool Contains(const std::string& fragment) const;
    void Clear() { shown_.clear(); }

private:
    std::ostream* out_;
    std::vector<TShown> shown_;
    std::deque<TButton> answers_;
    std::deque<std::string> inputs_;
};

// Gathers the messages of one task, such as loading a file, and shows them together when the
// task is done: a modder hears of a file's problems in one message, not one box after
// another. Each message is gathered once however often it is said; questions are asked at
// once. Outside a task every message goes straight through.
class TMessageGroup : public IMessages {
public:
    explicit TMessageGroup(IMessages& shown) : shown_(&shown) {}

    // Where the messages go.
    void SetShown(IMessages& shown) { shown_ = &shown; }
    void Begin();
    // Shows what was gathered since Begin: one message as it was said, several as one
    // message of the gravest of their kinds, headed by `heading` ("Loading X.nsc") and the
    // count. Nothing when nothing was said.
    void End(const std::string& heading);

    void ShowMessage(TMessageKind kind, const std::string& text) override;
    TButton Ask(const std::string& text, TButtons buttons, TButton preferred = btNone) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultValue) override;

private:
    IMessages* shown_;
    bool gathering_ = false;
    TMessageKind gravest_ = TMessageKind::Information;
    std::vector<std::string> gathered_;
};

// The rule for failures: every game procedure catches its own failure and shows
// "Error in <procedure> procedure!", a line break, the division or ship concerned and the
// failure's text; the minute then goes on with the next phase.
std::string ProcedureErrorText(const std::string& procedure, const std::string& subject,
                               const std::string& what);

template <typename Fn>
bool RunGuarded(IMessages& messages, const std::string& procedure, const std::string& subject,
                Fn&& fn) {
    try {
        fn();
        return true;
    } catch (const std::exception& e) {
        messages.Error(ProcedureErrorText(procedure, subject, e.what()));
    } catch (...) {
        messages.Error(ProcedureErrorText(procedure, subject, "unknown failure"));
    }
    return false;
}

} // namespace tarnwake::core
