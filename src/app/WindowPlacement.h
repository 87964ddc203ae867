#pragma once

#include <vector>

class QMainWindow;
class QSplitter;

namespace travonix {

class SettingsStore;

// The window's size and position and where its splitters stand, kept
// between runs under keys of their own (keys::kWindowGeometry and the
// splitter keys, in the order the splitters are given: the lists, then the
// findings). A missing or unreadable value leaves the window as built.
void restoreWindowPlacement(SettingsStore& store, QMainWindow& window,
                            const std::vector<QSplitter*>& splitters);
void saveWindowPlacement(SettingsStore& store, const QMainWindow& window,
                         const std::vector<QSplitter*>& splitters);

} // namespace travonix
