#include "app/WidgetUserInterface.h"

#include "app/MessageHistory.h"
#include "app/ShortenedList.h"
#include "app/WindowDialogs.h"
#include "app/WindowText.h"

#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QStatusBar>

namespace travonix {

WidgetUserInterface::WidgetUserInterface(QWidget& window, WindowDialogs& dialogs,
                                         QStatusBar& statusBar, MessageHistory& history,
                                         std::function<void()> focusMergedName)
    : window_(window), dialogs_(dialogs), statusBar_(statusBar), history_(history),
      focusMergedName_(std::move(focusMergedName)) {}

void WidgetUserInterface::showMessage(std::string_view text, std::string_view title) {
    history_.add(shown(text));
    dialogs_.showMessage(&window_, shown(shortenedList(text)), shown(title));
}

bool WidgetUserInterface::offerAction(std::string_view text, std::string_view title,
                                      std::string_view action) {
    history_.add(shown(text));
    return dialogs_.offerAction(&window_, shown(text), shown(title), shown(action));
}

bool WidgetUserInterface::askYesNo(std::string_view text, std::string_view title,
                                   bool yesIsDefault) {
    history_.add(shown(text));
    return dialogs_.askYesNo(&window_, shown(text), shown(title), yesIsDefault);
}

std::optional<std::string> WidgetUserInterface::askText(std::string_view prompt,
                                                        std::string_view title,
                                                        std::string_view defaultText) {
    const std::optional<QString> answer =
        dialogs_.askText(&window_, shown(prompt), shown(title), shown(defaultText));
    if (!answer)
        return std::nullopt;
    return bytesOf(*answer);
}

bool WidgetUserInterface::setClipboardText(std::string_view text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    clipboard->clear();
    clipboard->setText(shown(text));
    return true;
}

// A merged file of a whole program is megabytes: its pieces go into the
// clipboard's text one by one, not joined into one more copy first.
bool WidgetUserInterface::setClipboardParts(const std::vector<std::string_view>& parts) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    qsizetype size = 0;
    for (std::string_view part : parts)
        size += static_cast<qsizetype>(part.size());
    QString text;
    text.reserve(size);
    for (std::string_view part : parts)
        text += shown(part);
    clipboard->clear();
    clipboard->setText(text);
    return true;
}

void WidgetUserInterface::focusMergedName() {
    focusMergedName_();
}

void WidgetUserInterface::showStatus(std::string_view text) {
    statusBar_.showMessage(shown(text));
    history_.summarize(shown(text));
}

void WidgetUserInterface::showRunSummary(std::string_view text) {
    statusBar_.showMessage(shown(text));
    history_.summarize(shown(text));
}

} // namespace travonix
