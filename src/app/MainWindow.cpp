#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/DisassemblerChoice.h"
#include "app/FindingTableModel.h"
#include "app/FunctionListModel.h"
#include "app/ListingModel.h"
#include "app/SettingsStore.h"
#include "app/WindowColours.h"
#include "app/WindowDialogs.h"
#include "app/WindowPlacement.h"
#include "app/WindowText.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "core/Version.h"
#include "platform/DisassemblerCandidates.h"
#include "platform/HelpOpener.h"

#include <QtCore/QDir>
#include <QtCore/QMimeData>
#include <QtCore/QSignalBlocker>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QDragEnterEvent>
#include <QtGui/QDropEvent>
#include <QtGui/QFontDatabase>
#include <QtGui/QIcon>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTableView>
#include <QtWidgets/QVBoxLayout>

namespace travonix {

namespace {

void setChecked(QAbstractButton* button, bool checked) {
    const QSignalBlocker blocker(button);
    button->setChecked(checked);
}

// Shows which option of a group is chosen, or none; signals blocked.
void showChoice(QButtonGroup* group, QAbstractButton* chosen) {
    const QList<QAbstractButton*> buttons = group->buttons();
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QAbstractButton* button : buttons)
        blockers.push_back(std::make_unique<QSignalBlocker>(button));
    const QSignalBlocker groupBlocker(group);
    group->setExclusive(false);
    for (QAbstractButton* button : buttons)
        button->setChecked(button == chosen);
    group->setExclusive(true);
}

// The whole list as text: every line followed by CR LF.
template <typename Lines> std::string wholeText(std::size_t count, Lines&& lineAt) {
    std::string all;
    for (std::size_t i = 0; i < count; ++i) {
        all += lineAt(i);
        all += "\r\n";
    }
    return all;
}

// The one .elf file a drag carries, else "".
QString droppedElfFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().front();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return path.endsWith(QStringLiteral(".elf"), Qt::CaseInsensitive) ? path : QString();
}

} // namespace

MainWindow::MainWindow(WindowServices services, QWidget* parent)
    : QMainWindow(parent), store_(services.store), dialogs_(services.dialogs),
      environment_(services.environment), runner_(services.runner),
      programFolder_(std::move(services.programFolder)), history_(*this),
      ui_(std::make_unique<WidgetUserInterface>(*this, services.dialogs, *statusBar(), history_,
                                                [this] { mergedName_->setFocus(); })),
      orchestrator_(*ui_, services.environment, services.runner),
      watcher_(*this, [this] { watcherTimeout(); }) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromLatin1(kProductName));
    setWindowIcon(QIcon(QStringLiteral(":/travonix/travonix.png")));
    setAcceptDrops(true);
    buildControls();
    buildMenus();
    applyWindowColours(*this, false);
    connectControls();
    orchestrator_.sendJobsElsewhere(true);
    resize(1180, 720);
    chainFocus();
}

MainWindow::~MainWindow() {
    cancelJob();
    endWorker();
}

// ---- steps and what the window shows ------------------------------------

void MainWindow::act(const std::function<void()>& step, bool newAction) {
    const bool outermost = !orchestrator_.busy();
    if (outermost && newAction)
        history_.startAction();
    step();
    if (!outermost)
        return;
    showState();
    startWaitingJob();
}

void MainWindow::startUp() {
    restoreWindowPlacement(store_, *this, {listsSplitter_, findingsSplitter_});
    desktopColours_->setChecked(store_.readBool(keys::kDesktopColours).value_or(false));
    act([this] { orchestrator_.startUp(store_); });
    setWindowTitle(QString::fromLatin1(kProductName) + QStringLiteral(" - ") +
                   QString::fromLatin1(kCompanyName));
}

void MainWindow::showState() {
    const Options& options = orchestrator_.options();
    const ConversionSettings& conversion = options.conversion;
    const ControlState& controls = orchestrator_.controls();

    // A path being typed stays until Enter loads it.
    if (!elfName_->isModified())
        elfName_->setText(shown(fileNamePart(options.elfPath)));
    workingFolder_->setText(shown(folderPart(options.elfPath)));
    listingName_->setText(shown(fileNamePart(options.listingPath)));
    outputFolder_->setText(shown(conversion.outputFolder));
    // Only a different name is shown, so the field is left alone while the
    // user types (blanks around the typed name are not part of it).
    if (trimBlanks(bytesOf(mergedName_->text())) != conversion.mergedName) {
        const QSignalBlocker blocker(mergedName_);
        mergedName_->setText(shown(conversion.mergedName));
    }
    mergedName_->setVisible(conversion.mode == OutputMode::Merged);

    showChoice(outputTypes_, conversion.mode == OutputMode::Merged       ? merge_
                             : conversion.mode == OutputMode::SingleFile ? singleFile_
                                                                         : individualFiles_);
    disassemblerChoice_->showChoice(options.toolchain, options.disassemblerCommand);
    setChecked(showAll_, conversion.fullReading);
    setChecked(selectAll_, conversion.selectAll);
    setChecked(includeMain_, conversion.includeMain);
    setChecked(saveDisasm_, conversion.keepListingCopy);
    setChecked(autoLoad_, options.autoLoadElf);
    setChecked(autoCheck_, options.autoCheck);
    setChecked(autoGenerate_, options.autoGenerate);
    setChecked(positionIndependent_, conversion.positionIndependent);
    autoGenerate_->setVisible(controls.autoGenerateShown);
    listing_->setToolTip(shown(controls.listingToolTip));

    const Session& session = orchestrator_.session();
    size_->setText(shown(session.sizeText));
    makeTime_->setText(shown(session.makeTimeText));
    if (session.revision != shownRevision_)
        showLists();
    watcher_.follow(controls.watcherRunning);
    enableWork(!jobRunning());
    history_.show();
}

void MainWindow::showLists() {
    const Session& session = orchestrator_.session();
    shownRevision_ = session.revision;
    listingModel_->reload();
    functionModel_->reload();
    sourceModel_->reload();
    showFunctionSelection();
    showFindings();
    const int firstShown = hideLeadingBlankLines();
    if (session.currentListingLine >= 0)
        listing_->setCurrentIndex(
            listingModel_->index(std::max(session.currentListingLine, firstShown)));
    if (session.currentFunction >= 0)
        functions_->selectionModel()->setCurrentIndex(
            functionModel_->index(session.currentFunction), QItemSelectionModel::NoUpdate);
}

// The listing starts with the empty line that follows objdump's first
// section header; such lines before the first function are left out of view
// (the listing itself, its line numbers and a copy keep them).
int MainWindow::hideLeadingBlankLines() {
    const Listing& listing = orchestrator_.session().listing;
    int row = 0;
    for (; static_cast<std::size_t>(row) < listing.size() && row < listingModel_->rowCount();
         ++row) {
        if (!trimBlanks(listing.text(static_cast<std::size_t>(row))).empty())
            break;
        listing_->setRowHidden(row, true);
    }
    return row;
}

void MainWindow::showFunctionSelection() {
    const std::vector<FunctionEntry>& entries = orchestrator_.session().functions;
    QItemSelection selection;
    for (std::size_t first = 0; first < entries.size();) {
        if (!entries[first].selected) {
            ++first;
            continue;
        }
        std::size_t last = first;
        while (last + 1 < entries.size() && entries[last + 1].selected)
            ++last;
        selection.select(functionModel_->index(static_cast<int>(first)),
                         functionModel_->index(static_cast<int>(last)));
        first = last + 1;
    }
    QItemSelectionModel* model = functions_->selectionModel();
    {
        const QSignalBlocker blocker(model);
        model->select(selection, QItemSelectionModel::ClearAndSelect);
    }
    functions_->viewport()->update();
}

void MainWindow::showFindings() {
    findingModel_->reload();
    const std::size_t count = orchestrator_.session().findings.size();
    QString title = QStringLiteral("Relocation check");
    if (count > 0)
        title += QStringLiteral(": %1 %2 (click one to show its line)")
                     .arg(count)
                     .arg(count == 1 ? QStringLiteral("finding") : QStringLiteral("findings"));
    findingsTitle_->setText(title);
    for (const int column : {FindingTableModel::FunctionColumn, FindingTableModel::AddressColumn,
                             FindingTableModel::KindColumn})
        findings_->resizeColumnToContents(column);
}

void MainWindow::showFindingLine(int row) {
    const Session& session = orchestrator_.session();
    if (row < 0 || static_cast<std::size_t>(row) >= session.findings.size())
        return;
    const ShownFinding& finding = session.findings[static_cast<std::size_t>(row)];
    if (finding.listingLine >= 0 && finding.listingLine < listingModel_->rowCount()) {
        const QModelIndex line = listingModel_->index(finding.listingLine);
        listing_->setCurrentIndex(line);
        listing_->scrollTo(line, QAbstractItemView::PositionAtCenter);
    }
    if (finding.function >= 0 && finding.function < functionModel_->rowCount()) {
        const QModelIndex function = functionModel_->index(finding.function);
        functions_->selectionModel()->setCurrentIndex(function, QItemSelectionModel::NoUpdate);
        functions_->scrollTo(function);
    }
}

// While the disassembler runs, nothing that starts other work can be used;
// the lists and the other options stay usable.
void MainWindow::enableWork(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{elfName_, pickElf_, refresh_, make_, merge_, singleFile_,
                                         individualFiles_, showAll_, includeMain_})
        control->setEnabled(enabled);
    disassemblerChoice_->setWorkEnabled(enabled);
}

// ---- commands ---------------------------------------------------------------

void MainWindow::chooseElfFile() {
    const QString path = [this] {
        const Orchestrator::Hold hold(orchestrator_);
        return dialogs_.chooseElfFile(this);
    }();
    if (!path.isEmpty())
        orchestrator_.elfChosen(bytesOf(QDir::toNativeSeparators(path)));
}

// The path typed or pasted into the ELF field, loaded as a chosen one; a
// name without a folder is taken in the working folder.
void MainWindow::openTypedElfFile() {
    const QString typed = elfName_->text().trimmed();
    elfName_->setModified(false);
    if (typed.isEmpty()) {
        showState();
        return;
    }
    const QString folder = workingFolder_->text();
    const QString path =
        QDir::isAbsolutePath(typed) || folder.isEmpty() ? typed : QDir(folder).filePath(typed);
    openElfFile(QDir::cleanPath(path));
}

void MainWindow::openElfFile(const QString& path) {
    act([this, &path] { orchestrator_.elfChosen(bytesOf(QDir::toNativeSeparators(path))); });
}

void MainWindow::chooseOutputFolder() {
    const QString folder = [this] {
        const Orchestrator::Hold hold(orchestrator_);
        return dialogs_.chooseFolder(this, QStringLiteral("Select Plugin folder"),
                                     QDir::currentPath());
    }();
    orchestrator_.outputFolderChosen(folder.isEmpty() ? std::string()
                                                      : bytesOf(QDir::toNativeSeparators(folder)));
}

void MainWindow::chooseDisassembler() {
    const QString program = [this] {
        const Orchestrator::Hold hold(orchestrator_);
        return dialogs_.chooseProgram(this);
    }();
    if (!program.isEmpty())
        orchestrator_.setDisassemblerCommand(
            disassemblerCommandFor(bytesOf(QDir::toNativeSeparators(program))));
}

void MainWindow::lookForDisassemblers(const std::string& searchPath) {
    std::vector<std::string> offered;
    for (const std::string& program : disassemblersFound(searchPath))
        offered.push_back(disassemblerCommandFor(program));
    disassemblerChoice_->offer(offered);
    orchestrator_.setDisassemblerFinder(
        [searchPath, offered](const std::string& command) -> std::optional<std::string> {
            if (offered.empty() || commandProgramFound(command, searchPath))
                return std::nullopt;
            return offered.front();
        });
}

void MainWindow::copyWholeList(bool listing) {
    const Session& session = orchestrator_.session();
    const std::string all =
        listing ? wholeText(session.listing.size(),
                            [&session](std::size_t i) { return session.listing.text(i); })
                : wholeText(session.generatedSource.size(), [&session](std::size_t i) {
                      return std::string_view(session.generatedSource[i]);
                  });
    ui_->setClipboardText(all);
}

// When the desktop cannot open the guide, a box says why and where it is,
// and can put that path on the clipboard for the user's own viewer.
void MainWindow::openHelp() {
    const std::string folder =
        programFolder_.empty()
            ? bytesOf(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()))
            : programFolder_;
    const HelpOpening opening = openHelpDocument(folder);
    if (opening.opened)
        return;
    act([this, &opening] {
        const std::string message =
            "Cannot open the help document.\r\n" + opening.reason + "\r\n\r\n" + opening.path;
        if (ui_->offerAction(message, kProductName, "&Copy Path"))
            ui_->setClipboardText(opening.path);
    });
}

void MainWindow::showAbout() {
    AboutBox about(dialogs_, this);
    about.exec();
}

void MainWindow::watcherTimeout() {
    // A tick due while a step waits in a box, or while a job runs, is left
    // out; the next one comes 5 seconds later.
    if (orchestrator_.busy() || jobRunning()) {
        watcher_.follow(orchestrator_.controls().watcherRunning);
        return;
    }
    act([this] { orchestrator_.watcherTick(); });
}

// ---- window events ------------------------------------------------------------

// The close box and "E&xit" alike: a running disassembler is ended, then
// the options are saved, the "Show ALL funcs" state first.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (jobRunning()) {
        cancelJob();
        endWorker();
        runningJob_.reset();
    }
    watcher_.follow(false);
    orchestrator_.saveAtUnload(store_);
    orchestrator_.saveAtEnd(store_);
    saveWindowPlacement(store_, *this, {listsSplitter_, findingsSplitter_});
    store_.writeBool(keys::kDesktopColours, desktopColours_->isChecked());
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!jobRunning() && !droppedElfFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedElfFile(event->mimeData());
    if (path.isEmpty() || jobRunning())
        return;
    event->acceptProposedAction();
    openElfFile(path);
}

// Ctrl+C in the listing or the source copies the whole list, not the one
// line a list view would copy.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == listing_ || watched == source_) &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copyWholeList(watched == listing_);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace travonix
