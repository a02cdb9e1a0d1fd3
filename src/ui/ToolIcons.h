#pragma once

#include <QIcon>
#include <QString>

namespace tarnwake::ui {

// The toolbar's icons, drawn by the program itself on a 24-pixel square, by the hint of
// their button; an empty icon for a hint it has none for.
QIcon ToolIcon(const QString& hint);

} // namespace tarnwake::ui
