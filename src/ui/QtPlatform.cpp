#include "ui/QtPlatform.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace tarnwake::ui {

void TQtMessages::ShowMessage(core::TMessageKind kind, const std::string& text) {
    const QString body = QString::fromStdString(text);
    switch (kind) {
    case core::TMessageKind::Warning:
        QMessageBox::warning(parent_, "Tarnwake", body);
        break;
    case core::TMessageKind::Error:
        QMessageBox::critical(parent_, "Tarnwake", body);
        break;
    default:
        QMessageBox::information(parent_, "Tarnwake", body);
        break;
    }
}

core::TButton TQtMessages::Ask(const std::string& text, core::TButtons buttons,
                               core::TButton preferred) {
    QMessageBox box(QMessageBox::Question, "Tarnwake", QString::fromStdString(text),
                    QMessageBox::NoButton, parent_);
    static constexpr core::TButton kOrder[] = {core::btOk,       core::btYes,     core::btNo,
                                               core::btYesToAll, core::btNoToAll, core::btCancel};
    std::vector<std::pair<QAbstractButton*, core::TButton>> made;
    for (core::TButton b : kOrder) {
        if ((buttons & b) == 0) {
            continue;
        }
        const auto role = b == core::btNo || b == core::btNoToAll || b == core::btCancel
                              ? QMessageBox::RejectRole
                              : QMessageBox::AcceptRole;
        QPushButton* button = box.addButton(core::ButtonCaption(b), role);
        made.emplace_back(button, b);
        if (b == core::DefaultButton(buttons, preferred)) {
            box.setDefaultButton(button);
        }
    }
    box.exec();
    for (const auto& [button, answer] : made) {
        if (box.clickedButton() == button) {
            return answer;
        }
    }
    // Closed with Escape or the window button: the safest answer the question offers.
    if ((buttons & core::btCancel) != 0) {
        return core::btCancel;
    }
    return (buttons & core::btNo) != 0 ? core::btNo : core::DefaultButton(buttons, preferred);
}

std::optional<std::string> TQtMessages::InputBox(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& defaultValue) {
    bool ok = false;
    const QString value = QInputDialog::getText(parent_, QString::fromStdString(caption),
                                                QString::fromStdString(prompt), QLineEdit::Normal,
                                                QString::fromStdString(defaultValue), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return value.toStdString();
}

} // namespace tarnwake::ui
