#pragma once

#include "core/Messages.h"

class QWidget;

namespace tarnwake::ui {

// Message boxes, questions and input boxes as Qt dialogs over the main window.
class TQtMessages : public core::IMessages {
public:
    explicit TQtMessages(QWidget* parent) : parent_(parent) {}

    void ShowMessage(core::TMessageKind kind, const std::string& text) override;
    core::TButton Ask(const std::string& text, core::TButtons buttons,
                      core::TButton preferred = core::btNone) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultValue) override;

private:
    QWidget* parent_;
};

} // namespace tarnwake::ui
