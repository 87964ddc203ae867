#pragma once

#include "app/ElfWatcherTimer.h"
#include "app/MessageHistory.h"
#include "app/Orchestrator.h"
#include "app/WidgetUserInterface.h"

#include <QtWidgets/QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTableView;
class QThread;

namespace travonix {

class DisassemblerChoice;
class FindingTableModel;
class FunctionListModel;
class LinesModel;
class ListingModel;
class SettingsStore;
class WindowDialogs;

// What the window works with; the program passes the real ones, tests a
// temporary settings file, scripted dialogs and a fake disassembler.
struct WindowServices {
    SettingsStore& store;
    WindowDialogs& dialogs;
    Environment& environment;
    ProcessRunner& runner;
    // Where the help document is looked for first; "" for the program's own
    // folder.
    std::string programFolder{};
};

// The Travonix window: a view over the orchestrator. Each control's signal
// is one orchestrator call; after each call the window shows the session,
// the options and the control state anew, with the controls' signals
// blocked, so nothing shown from code runs an action again. The disassembler
// runs on a worker thread while the window stays responsive.
class MainWindow : public QMainWindow {
  public:
    explicit MainWindow(WindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Applies the stored options (their messages come before the window is
    // shown), then shows the result.
    void startUp();
    // Opens the ELF file as the ELF chooser does (given on the command line).
    void openElfFile(const QString& path);
    // Before startUp: the disassemblers found in the folders of `searchPath`
    // are offered, and one replaces a stored program that is not there.
    void lookForDisassemblers(const std::string& searchPath);

    [[nodiscard]] const Orchestrator& orchestrator() const { return orchestrator_; }
    // A job (a disassembly, a large conversion) runs off the window's thread.
    [[nodiscard]] bool jobRunning() const { return worker_ != nullptr; }
    [[nodiscard]] const ElfWatcherTimer& watcher() const { return watcher_; }
    // One tick of the ELF watcher (the timer's handler).
    void watcherTimeout();
    // Ends a running disassembly (the listing stays as it was) or stops a
    // conversion before its next file.
    void cancelJob();
    // Runs `then` now when no job runs, else once the running ones are done.
    void whenIdle(std::function<void()> then);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void connectControls();
    void chainFocus();

    // Runs one step, then shows its result and starts the job it left, if
    // any. A command sent while another one waits in a box of its own waits
    // in the orchestrator's queue. A step that continues an action (a job's
    // end) keeps its messages with the action's.
    void act(const std::function<void()>& step, bool newAction = true);
    void showState();
    void showLists();
    void showFunctionSelection();
    // Hides the listing's empty lines before its first line of text; gives
    // the first row shown.
    int hideLeadingBlankLines();
    void showFindings();
    // Selects the listing line of the finding in the findings panel's row,
    // scrolled into view, and makes its function the current one.
    void showFindingLine(int row);
    void enableWork(bool enabled);

    void chooseElfFile();
    void openTypedElfFile();
    void chooseOutputFolder();
    void chooseDisassembler();
    void copyWholeList(bool listing);
    void openHelp();
    void showAbout();

    void startWaitingJob();
    void finishJob();
    void showProgress(const JobProgressReport& report);
    void endWorker();

    SettingsStore& store_;
    WindowDialogs& dialogs_;
    Environment& environment_;
    ProcessRunner& runner_;
    std::string programFolder_;
    MessageHistory history_;
    std::unique_ptr<WidgetUserInterface> ui_;
    Orchestrator orchestrator_;
    ElfWatcherTimer watcher_;

    QLineEdit* elfName_ = nullptr;
    QLineEdit* workingFolder_ = nullptr;
    QLineEdit* listingName_ = nullptr;
    QLineEdit* outputFolder_ = nullptr;
    QLineEdit* mergedName_ = nullptr;
    QLineEdit* size_ = nullptr;
    QLineEdit* makeTime_ = nullptr;
    QPushButton* pickElf_ = nullptr;
    QPushButton* pickOutputFolder_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QPushButton* make_ = nullptr;
    QListView* listing_ = nullptr;
    QListView* functions_ = nullptr;
    QListView* source_ = nullptr;
    QTableView* findings_ = nullptr;
    QSplitter* listsSplitter_ = nullptr;
    QSplitter* findingsSplitter_ = nullptr;
    QAction* desktopColours_ = nullptr;
    QLabel* findingsTitle_ = nullptr;
    QRadioButton* merge_ = nullptr;
    QRadioButton* singleFile_ = nullptr;
    QRadioButton* individualFiles_ = nullptr;
    QButtonGroup* outputTypes_ = nullptr;
    DisassemblerChoice* disassemblerChoice_ = nullptr;
    QCheckBox* showAll_ = nullptr;
    QCheckBox* selectAll_ = nullptr;
    QCheckBox* includeMain_ = nullptr;
    QCheckBox* saveDisasm_ = nullptr;
    QCheckBox* autoLoad_ = nullptr;
    QCheckBox* autoCheck_ = nullptr;
    QCheckBox* autoGenerate_ = nullptr;
    QCheckBox* positionIndependent_ = nullptr;
    QProgressBar* busy_ = nullptr;
    QPushButton* cancel_ = nullptr;

    ListingModel* listingModel_ = nullptr;
    FunctionListModel* functionModel_ = nullptr;
    LinesModel* sourceModel_ = nullptr;
    FindingTableModel* findingModel_ = nullptr;
    int shownRevision_ = -1;

    QThread* worker_ = nullptr;
    std::optional<Job> runningJob_; // the job on the worker, handed back when it ends
    std::function<void()> whenIdle_;
};

} // namespace travonix
