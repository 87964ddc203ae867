#include "app/WindowPlacement.h"

#include "app/SettingsStore.h"

#include <QtCore/QByteArray>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QSplitter>

#include <array>
#include <optional>
#include <string>

namespace travonix {

namespace {

constexpr std::array<const SettingKey*, 2> kSplitterKeys{&keys::kListsSplitter,
                                                         &keys::kFindingsSplitter};

// The stored state as bytes; empty when absent or unreadable. Stored as
// Base64 text, as the store keeps text.
QByteArray readState(SettingsStore& store, const SettingKey& key) {
    const std::optional<std::string> text = store.readText(key);
    if (!text || text->empty())
        return {};
    return QByteArray::fromBase64(QByteArray::fromStdString(*text));
}

void writeState(SettingsStore& store, const SettingKey& key, const QByteArray& state) {
    store.writeText(key, state.toBase64().toStdString());
}

} // namespace

void restoreWindowPlacement(SettingsStore& store, QMainWindow& window,
                            const std::vector<QSplitter*>& splitters) {
    if (const QByteArray geometry = readState(store, keys::kWindowGeometry); !geometry.isEmpty())
        window.restoreGeometry(geometry);
    for (std::size_t i = 0; i < splitters.size() && i < kSplitterKeys.size(); ++i)
        if (const QByteArray state = readState(store, *kSplitterKeys[i]); !state.isEmpty())
            splitters[i]->restoreState(state);
}

void saveWindowPlacement(SettingsStore& store, const QMainWindow& window,
                         const std::vector<QSplitter*>& splitters) {
    writeState(store, keys::kWindowGeometry, window.saveGeometry());
    for (std::size_t i = 0; i < splitters.size() && i < kSplitterKeys.size(); ++i)
        writeState(store, *kSplitterKeys[i], splitters[i]->saveState());
}

} // namespace travonix
