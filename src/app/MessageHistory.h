#pragma once

#include <QtCore/QStringList>

class QDockWidget;
class QLabel;
class QListView;
class QMainWindow;
class QStringListModel;

namespace travonix {

// Every message of the last action, kept until the next action says
// something: listed in a dock of its own ("Messages") and in the tooltip of
// the status bar's summary, a label that shows the last status text and
// stays when a menu's tips clear the status line.
class MessageHistory {
  public:
    explicit MessageHistory(QMainWindow& window);

    // A new action begins: its first message replaces the history.
    void startAction() { fresh_ = true; }
    // A message of the current action (a box's text, a status text), one
    // entry a line.
    void add(const QString& text);
    // A status text: the summary label shows it, the history keeps it.
    void summarize(const QString& text);
    // Brings the dock and the tooltip up to date (after each step, so a run
    // with thousands of messages fills the list once).
    void show();

    [[nodiscard]] const QStringList& lines() const { return lines_; }
    [[nodiscard]] QDockWidget* dock() const { return dock_; }
    [[nodiscard]] QLabel* summary() const { return summary_; }

    // The tooltip shows at most this many lines, then "and N more".
    static constexpr int kTooltipLines = 20;

  private:
    QStringList lines_;
    bool fresh_ = true;
    bool changed_ = false;
    QDockWidget* dock_ = nullptr;
    QListView* list_ = nullptr;
    QStringListModel* model_ = nullptr;
    QLabel* summary_ = nullptr;
};

} // namespace travonix
