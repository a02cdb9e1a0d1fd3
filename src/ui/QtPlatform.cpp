#include "ui/QtPlatform.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tarnwake::ui {

namespace {

// Past this many lines a message box would grow beyond the screen: the text then scrolls.
constexpr int kMostLinesInABox = 16;
constexpr int kLongMessageWidth = 640;
constexpr int kLongMessageHeight = 420;
constexpr int kIconSize = 32;

// The icon of a message of each kind: in a message box, and drawn in a long message.
struct TKindIcon {
    QMessageBox::Icon box;
    QStyle::StandardPixmap pixmap;
};

TKindIcon IconOf(core::TMessageKind kind) {
    switch (kind) {
    case core::TMessageKind::Warning:
        return {QMessageBox::Warning, QStyle::SP_MessageBoxWarning};
    case core::TMessageKind::Error:
        return {QMessageBox::Critical, QStyle::SP_MessageBoxCritical};
    default:
        return {QMessageBox::Information, QStyle::SP_MessageBoxInformation};
    }
}

// A long message, such as every problem of a modder's file: its first line as the heading,
// the rest in a pane that scrolls and can be copied from.
void ShowLongMessage(QWidget* parent, core::TMessageKind kind, const QString& text) {
    QDialog dialog(parent);
    dialog.setObjectName("longMessage");
    dialog.setWindowTitle("Tarnwake");
    auto* layout = new QHBoxLayout(&dialog);
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(dialog.style()->standardIcon(IconOf(kind).pixmap).pixmap(kIconSize));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon);
    auto* column = new QVBoxLayout;
    const qsizetype firstBreak = text.indexOf('\n');
    auto* heading = new QLabel(text.left(firstBreak), &dialog);
    heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(heading);
    auto* body = new QPlainTextEdit(text.mid(firstBreak + 1).trimmed(), &dialog);
    body->setObjectName("messageText");
    body->setReadOnly(true);
    column->addWidget(body, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    column->addWidget(buttons);
    layout->addLayout(column, 1);
    dialog.resize(kLongMessageWidth, kLongMessageHeight);
    dialog.exec();
}

} // namespace

void TQtMessages::ShowMessage(core::TMessageKind kind, const std::string& text) {
    const QString body = QString::fromStdString(text);
    if (body.count('\n') >= kMostLinesInABox) {
        ShowLongMessage(parent_, kind, body);
        return;
    }
    QMessageBox box(IconOf(kind).box, "Tarnwake", body, QMessageBox::Ok, parent_);
    // A modder copies the file, line and key from the box.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
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
