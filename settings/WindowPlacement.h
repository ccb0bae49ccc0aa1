#pragma once

#include <QByteArray>
#include <QString>

// The main window's size and place between runs, per user: a file of its own beside
// Config.cfg (which keeps its eight lines). Saved as Qt describes a window's geometry.
inline constexpr const char* kWindowPlacementFile = "Window.ini";

// What was saved in folder; empty when nothing was, or the file is broken (it is then
// written anew at the next save).
[[nodiscard]] QByteArray loadWindowPlacement(const QString& folder);
// False when the file could not be written; the next start then opens at the design size.
bool saveWindowPlacement(const QString& folder, const QByteArray& geometry);
