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

// The least room a list gets, so a line's start (an address and a word) and
// a few rows stay in view at the window's smallest size.
constexpr int kShortestListWidth = 170;
constexpr int kShortestListHeight = 160;

constexpr const char* kWorkingFolderTip =
    "Working Directory, ie where the .ELF file is located, & where .DIS files will be created";
constexpr const char* kOutputFolderTip =
    "Where the CFunction file(s) will be created, ie the .bas files";

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

// "Courier New" where it is installed, else the platform's fixed font.
QFont listFont() {
    if (QFontDatabase::families().contains(QStringLiteral("Courier New")))
        return QFont(QStringLiteral("Courier New"), 9);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

template <typename Widget> Widget* named(Widget* widget, const char* name, const char* tip) {
    widget->setObjectName(text(name));
    if (tip != nullptr)
        widget->setToolTip(text(tip));
    return widget;
}

QLineEdit* field(QWidget* parent, const char* name, const char* tip, bool readOnly) {
    auto* edit = named(new QLineEdit(parent), name, tip);
    edit->setReadOnly(readOnly);
    return edit;
}

QListView* list(QWidget* parent, const char* name, const char* tip, QAbstractItemModel* model,
                QAbstractItemView::SelectionMode selection) {
    auto* view = named(new QListView(parent), name, tip);
    view->setModel(model);
    view->setUniformItemSizes(true);
    view->setSelectionMode(selection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

// A list under a heading that names it; the heading's mnemonic moves the
// focus to the list.
QWidget* headed(QWidget* parent, const char* name, const QString& heading, QWidget* list) {
    auto* panel = new QWidget(parent);
    auto* label = new QLabel(heading, panel);
    label->setObjectName(QString::fromLatin1(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setBuddy(list);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    return panel;
}

// The platform's keys for a standard command; `usual` where the platform
// has none (Windows and Qt's offscreen platform give Quit no key, so Ctrl+Q
// is given).
QList<QKeySequence> standardKeys(QKeySequence::StandardKey command, const QKeySequence& usual) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(command);
    if (keys.isEmpty())
        keys.push_back(usual);
    return keys;
}

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
      runner_(services.runner), programFolder_(std::move(services.programFolder)), history_(*this),
      ui_(std::make_unique<WidgetUserInterface>(*this, services.dialogs, *statusBar(), history_,
                                                [this] { mergedName_->setFocus(); })),
      orchestrator_(*ui_, services.environment, services.runner),
      watcher_(*this, [this] { watcherTimeout(); }) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(text(kProductName));
    setWindowIcon(QIcon(QStringLiteral(":/travonix/travonix.png")));
    setAcceptDrops(true);
    buildControls();
    buildMenus();
    applyWindowColours(*this, false);
    connectControls();
    orchestrator_.setDisassemblyLauncher([this] { launchDisassembly(); });
    orchestrator_.setConversionLauncher(
        [this](std::function<void()> work, std::function<void()> done) {
            launchConversion(std::move(work), std::move(done));
        });
    resize(1180, 720);
    chainFocus();
}

MainWindow::~MainWindow() {
    if (disassemblyRunning())
        runner_.requestCancel();
    endWorker();
}

// ---- the controls ----------------------------------------------------------

void MainWindow::buildControls() {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("centralArea"));
    setCentralWidget(area);

    elfName_ = field(area, "elfFileName", "Name of .ELF file", false);
    auto* elfLabel = named(new QLabel(QStringLiteral("&ELF File"), area), "elfFileLabel",
                           "Type or paste the .ELF file's path, then press Enter");
    elfLabel->setBuddy(elfName_);
    pickElf_ =
        named(new QPushButton(QStringLiteral("&Select .ELF"), area), "pickElf", "Select .ELF file");
    workingFolder_ = field(area, "workingFolder", kWorkingFolderTip, true);
    QFont bold = workingFolder_->font();
    bold.setBold(true);
    workingFolder_->setFont(bold);
    auto* workingLabel = named(new QLabel(QStringLiteral("Working Directory"), area),
                               "workingFolderLabel", kWorkingFolderTip);
    listingName_ = field(area, "listingFileName", "Full Path to .DIS file", true);
    listingName_->hide();
    outputFolder_ = field(area, "outputFolder", kOutputFolderTip, true);
    auto* outputLabel = named(new QLabel(QStringLiteral("Output Directory"), area),
                              "outputFolderLabel", kOutputFolderTip);
    pickOutputFolder_ = named(new QPushButton(QStringLiteral("&CFunction Folder"), area),
                              "pickOutputFolder", "Select folder where CFunctions are stored");
    refresh_ = named(new QPushButton(QStringLiteral("&Refresh"), area), "refresh",
                     "Reload the .ELF file and Disassemble");

    const Session& session = orchestrator_.session();
    listingModel_ = new ListingModel(session.listing, this);
    functionModel_ = new FunctionListModel(session.functions, session.findings, this);
    sourceModel_ = new LinesModel(session.generatedSource, this);
    findingModel_ = new FindingTableModel(session.findings, this);
    const QIcon findingIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    functionModel_->setFindingIcon(findingIcon);
    findingModel_->setIcon(findingIcon);
    listing_ = list(area, "listing", "Disassembled .ELF file", listingModel_,
                    QAbstractItemView::SingleSelection);
    functions_ = list(area, "functions", "Functions found", functionModel_,
                      QAbstractItemView::MultiSelection);
    source_ = list(area, "generatedSource", "Generated CFunction Opcodes", sourceModel_,
                   QAbstractItemView::SingleSelection);
    findings_ = named(new QTableView(area), "findings",
                      "What keeps a CFunction from running where the interpreter loads it; click "
                      "one to show its line in the listing");
    findings_->setModel(findingModel_);
    findings_->setSelectionBehavior(QAbstractItemView::SelectRows);
    findings_->setSelectionMode(QAbstractItemView::SingleSelection);
    findings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    findings_->setWordWrap(false);
    findings_->setTextElideMode(Qt::ElideRight);
    findings_->verticalHeader()->hide();
    findings_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    findings_->verticalHeader()->setDefaultSectionSize(findings_->fontMetrics().height() + 4);
    findings_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    findings_->horizontalHeader()->setStretchLastSection(true);
    findings_->setFont(listFont());
    findingsTitle_ = named(new QLabel(area), "findingsTitle", nullptr);
    for (QListView* view : {listing_, source_}) {
        view->setFont(listFont());
        view->setTextElideMode(Qt::ElideNone);
        view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    }
    // The warning icon no taller than a line, so marked rows keep the height of the others.
    for (QAbstractItemView* view :
         std::initializer_list<QAbstractItemView*>{functions_, findings_}) {
        const int height = view->fontMetrics().height();
        view->setIconSize(QSize(height, height));
    }
    listingModel_->setFont(listFont());
    sourceModel_->setFont(listFont());
    listing_->installEventFilter(this);
    source_->installEventFilter(this);

    make_ = named(new QPushButton(QStringLiteral("&Make CFunction(s)"), area), "make",
                  "Make the CFunction(s) and write .bas file(s)");
    mergedName_ = field(area, "mergedName", "Name of Complex CFunction", false);
    mergedName_->hide();
    size_ = field(area, "size", "Size in KBytes of  CFunction(s)", true);
    makeTime_ = field(area, "makeTime", "CFunction(s) Creation Date & Time", true);
    for (QLineEdit* shownOnly : {workingFolder_, outputFolder_, size_, makeTime_})
        shownOnly->setFocusPolicy(Qt::ClickFocus);
    makeTime_->setMinimumWidth(makeTime_->fontMetrics().horizontalAdvance(
                                   QStringLiteral("Created at 2026-12-10  09:05:07")) +
                               16);

    auto* outputBox = new QGroupBox(QStringLiteral("Output"), area);
    merge_ = named(new QRadioButton(QStringLiteral("Merge CFunctions"), outputBox), "merge",
                   "Merge all CFunctions into a single CFunction - Use if functions inside "
                   "CFunction call each other");
    singleFile_ =
        named(new QRadioButton(QStringLiteral("Single CFunc File"), outputBox), "singleFile",
              "1 file containing multiple CFunction/End CFunction "
              "statements ");
    individualFiles_ = named(new QRadioButton(QStringLiteral("Individual Files"), outputBox),
                             "individualFiles", "Generate an Individual file per Function");
    outputTypes_ = new QButtonGroup(this);
    outputTypes_->addButton(merge_);
    outputTypes_->addButton(singleFile_);
    outputTypes_->addButton(individualFiles_);
    singleFile_->setChecked(true);
    auto* outputLayout = new QVBoxLayout(outputBox);
    outputLayout->addWidget(merge_);
    outputLayout->addWidget(mergedName_);
    outputLayout->addWidget(singleFile_);
    outputLayout->addWidget(individualFiles_);

    Orchestrator& o = orchestrator_;
    disassemblerChoice_ = new DisassemblerChoice(
        area, {[this, &o](Toolchain toolchain) {
                   act([&o, toolchain] { o.selectToolchain(toolchain); });
               },
               [this, &o] { act([&o] { o.selectOtherDisassembler(); }); },
               [this, &o](const QString& command) {
                   act([&o, &command] { o.setDisassemblerCommand(bytesOf(command)); });
               },
               [this] { act([this] { chooseDisassembler(); }); }});

    showAll_ = named(new QCheckBox(QStringLiteral("Show ALL funcs"), area), "showAllFunctions",
                     "Check to show System Functions as well as CFunction functions");
    selectAll_ =
        named(new QCheckBox(QStringLiteral("Select ALL funcs"), area), "selectAllFunctions",
              "Check toSelect ALL functions for inclusion into the CFunction(s)");
    selectAll_->setChecked(true);
    includeMain_ = named(new QCheckBox(QStringLiteral("Include main()"), area), "includeMain",
                         "Show function main() as well");
    saveDisasm_ = named(new QCheckBox(QStringLiteral("Save DisAsm"), area), "saveDisasm",
                        "Save Disassembly Output - Filename=DisAsm.txt");
    autoLoad_ = named(new QCheckBox(QStringLiteral("Auto Load .ELF on Startup"), area),
                      "autoLoadElf", "Auto Load .ELF on program startup");
    autoCheck_ = named(new QCheckBox(QStringLiteral("AutoCheck ELF"), area), "autoCheck",
                       "Check every 5 secs for changes to .ELF");
    autoGenerate_ = named(new QCheckBox(QStringLiteral("Auto Generate"), area), "autoGenerate",
                          "Automatically Re-Generate CFunction file(s) whenever .ELF changes");

    // Files across the top, the three lists in the middle, the options and
    // the make command on the right.
    auto* files = new QGridLayout;
    files->addWidget(elfLabel, 0, 0);
    files->addWidget(elfName_, 0, 1);
    files->addWidget(pickElf_, 0, 2);
    files->addWidget(workingLabel, 1, 0);
    files->addWidget(workingFolder_, 1, 1);
    files->addWidget(refresh_, 1, 2);
    files->addWidget(outputLabel, 2, 0);
    files->addWidget(outputFolder_, 2, 1);
    files->addWidget(pickOutputFolder_, 2, 2);
    files->addWidget(listingName_, 3, 1);
    files->setColumnStretch(1, 1);

    // The three lists side by side on a splitter of their own, each under a
    // heading and never narrower than a line's start.
    listsSplitter_ = named(new QSplitter(Qt::Horizontal, area), "lists", nullptr);
    const std::initializer_list<std::pair<QWidget*, int>> panels{
        {headed(area, "listingHeading", QStringLiteral("&Disassembly"), listing_), 5},
        {headed(area, "functionsHeading", QStringLiteral("F&unctions"), functions_), 2},
        {headed(area, "sourceHeading", QStringLiteral("&Generated CFunction(s)"), source_), 4}};
    int index = 0;
    for (const auto& [panel, stretch] : panels) {
        panel->setMinimumWidth(kShortestListWidth);
        listsSplitter_->addWidget(panel);
        listsSplitter_->setStretchFactor(index++, stretch);
    }
    listsSplitter_->setChildrenCollapsible(false);

    auto* options = new QVBoxLayout;
    options->addWidget(outputBox);
    options->addWidget(disassemblerChoice_);
    for (QCheckBox* box :
         {showAll_, selectAll_, includeMain_, saveDisasm_, autoLoad_, autoCheck_, autoGenerate_})
        options->addWidget(box);
    options->addStretch(1);
    options->addWidget(make_);
    options->addWidget(size_);
    options->addWidget(makeTime_);

    // The findings below the lists, on a splitter so either can be given room.
    listsSplitter_->setMinimumHeight(kShortestListHeight);
    auto* findingsArea = new QWidget(area);
    auto* findingsLayout = new QVBoxLayout(findingsArea);
    findingsLayout->setContentsMargins(0, 0, 0, 0);
    findingsLayout->addWidget(findingsTitle_);
    findingsLayout->addWidget(findings_, 1);
    findingsTitle_->setBuddy(findings_);
    findings_->setMinimumHeight(findings_->verticalHeader()->defaultSectionSize() * 3 +
                                findings_->horizontalHeader()->sizeHint().height());
    auto* splitter = named(new QSplitter(Qt::Vertical, area), "listsAndFindings", nullptr);
    splitter->addWidget(listsSplitter_);
    splitter->addWidget(findingsArea);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    findingsSplitter_ = splitter;

    auto* middle = new QHBoxLayout;
    middle->addWidget(splitter, 1);
    middle->addLayout(options);

    auto* layout = new QVBoxLayout(area);
    layout->addLayout(files);
    layout->addLayout(middle, 1);

    busy_ = new QProgressBar(this);
    busy_->setObjectName(QStringLiteral("busyIndicator"));
    busy_->setRange(0, 0);
    busy_->setMaximumWidth(160);
    busy_->hide();
    cancel_ = named(new QPushButton(QStringLiteral("Cancel"), this), "cancelDisassembly",
                    "End the running disassembler");
    cancel_->hide();
    statusBar()->addPermanentWidget(busy_);
    statusBar()->addPermanentWidget(cancel_);
}

// Tab follows the layout: the files across the top, the lists from left to
// right, the findings, then the options down the right side and Make.
// Fields that only show a path or a report are left out (a click still
// reaches them, to select and copy).
void MainWindow::chainFocus() {
    std::vector<QWidget*> chain{elfName_, pickElf_,    refresh_,    pickOutputFolder_,
                                listing_, functions_,  source_,     findings_,
                                merge_,   mergedName_, singleFile_, individualFiles_};
    for (QWidget* control : disassemblerChoice_->focusOrder())
        chain.push_back(control);
    for (QWidget* control :
         std::initializer_list<QWidget*>{showAll_, selectAll_, includeMain_, saveDisasm_, autoLoad_,
                                         autoCheck_, autoGenerate_, make_})
        chain.push_back(control);
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("exitAction"));
    exit->setShortcuts(standardKeys(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
    connect(exit, &QAction::triggered, this, [this] { close(); });

    // The buttons' commands on the desktop's standard keys, anywhere in the
    // window; each does what its button does, and nothing while the button
    // is disabled.
    const auto buttonShortcut = [this](const char* name, QList<QKeySequence> keys,
                                       QPushButton* button) {
        auto* action = new QAction(button->text(), this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        addAction(action);
        connect(action, &QAction::triggered, this, [button] {
            if (button->isEnabled())
                button->click();
        });
    };
    buttonShortcut("openElfAction",
                   standardKeys(QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)), pickElf_);
    buttonShortcut("refreshAction", standardKeys(QKeySequence::Refresh, QKeySequence(Qt::Key_F5)),
                   refresh_);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    desktopColours_ = view->addAction(QStringLiteral("Use desktop colours"));
    desktopColours_->setObjectName(QStringLiteral("desktopColoursAction"));
    desktopColours_->setCheckable(true);
    connect(desktopColours_, &QAction::toggled, this,
            [this](bool desktop) { applyWindowColours(*this, desktop); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* helpFile = help->addAction(QStringLiteral("&Help"));
    helpFile->setObjectName(QStringLiteral("helpAction"));
    helpFile->setShortcuts(standardKeys(QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)));
    connect(helpFile, &QAction::triggered, this, [this] { openHelp(); });
    QAction* about = help->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, [this] { showAbout(); });
}

void MainWindow::connectControls() {
    Orchestrator& o = orchestrator_;
    connect(pickElf_, &QPushButton::clicked, this, [this] { act([this] { chooseElfFile(); }); });
    connect(pickOutputFolder_, &QPushButton::clicked, this,
            [this] { act([this] { chooseOutputFolder(); }); });
    connect(refresh_, &QPushButton::clicked, this, [this, &o] { act([&o] { o.refresh(); }); });
    connect(make_, &QPushButton::clicked, this, [this, &o] { act([&o] { o.makeCFunctions(); }); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelDisassembly(); });
    connect(elfName_, &QLineEdit::returnPressed, this, [this] { openTypedElfFile(); });
    connect(mergedName_, &QLineEdit::textChanged, this, [this, &o](const QString& typed) {
        act([&o, &typed] { o.setMergedNameText(bytesOf(typed)); });
    });

    // An option runs its action when it becomes selected; deselecting runs
    // nothing.
    const auto onSelected = [this](QRadioButton* button, auto step) {
        connect(button, &QRadioButton::toggled, this, [this, step](bool on) {
            if (on)
                act(step);
        });
    };
    onSelected(merge_, [&o] { o.selectOutputMode(OutputMode::Merged); });
    onSelected(singleFile_, [&o] { o.selectOutputMode(OutputMode::SingleFile); });
    onSelected(individualFiles_, [&o] { o.selectOutputMode(OutputMode::IndividualFiles); });

    const auto onToggled = [this](QCheckBox* box, void (Orchestrator::*step)(bool)) {
        connect(box, &QCheckBox::toggled, this,
                [this, step](bool on) { act([this, step, on] { (orchestrator_.*step)(on); }); });
    };
    onToggled(showAll_, &Orchestrator::setShowAllFunctions);
    onToggled(selectAll_, &Orchestrator::setSelectAll);
    onToggled(includeMain_, &Orchestrator::setIncludeMain);
    onToggled(saveDisasm_, &Orchestrator::setKeepListingCopy);
    onToggled(autoLoad_, &Orchestrator::setAutoLoadElf);
    onToggled(autoCheck_, &Orchestrator::setAutoCheck);
    onToggled(autoGenerate_, &Orchestrator::setAutoGenerate);

    // Enter on a finding too, where a click does not activate.
    for (auto signal : {&QAbstractItemView::clicked, &QAbstractItemView::activated})
        connect(findings_, signal, this,
                [this](const QModelIndex& index) { showFindingLine(index.row()); });

    connect(functions_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, &o](const QItemSelection& selected, const QItemSelection& deselected) {
                for (const QModelIndex& index : selected.indexes())
                    o.selectFunction(static_cast<std::size_t>(index.row()), true);
                for (const QModelIndex& index : deselected.indexes())
                    o.selectFunction(static_cast<std::size_t>(index.row()), false);
            });
}

// ---- steps and what the window shows ------------------------------------

template <typename Step> void MainWindow::act(Step&& step, bool newAction) {
    const bool outermost = !handling_;
    if (outermost && newAction)
        history_.startAction();
    handling_ = true;
    step();
    if (!outermost)
        return;
    handling_ = false;
    showState();
}

void MainWindow::startUp() {
    restoreWindowPlacement(store_, *this, {listsSplitter_, findingsSplitter_});
    desktopColours_->setChecked(store_.readBool(keys::kDesktopColours).value_or(false));
    act([this] { orchestrator_.startUp(store_); });
    setWindowTitle(text(kProductName) + QStringLiteral(" - ") + text(kCompanyName));
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
    autoGenerate_->setVisible(controls.autoGenerateShown);
    listing_->setToolTip(shown(controls.listingToolTip));

    const Session& session = orchestrator_.session();
    size_->setText(shown(session.sizeText));
    makeTime_->setText(shown(session.makeTimeText));
    if (session.revision != shownRevision_)
        showLists();
    watcher_.follow(controls.watcherRunning);
    enableWork(!disassemblyRunning());
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
    const QString path = dialogs_.chooseElfFile(this);
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
    const QString folder =
        dialogs_.chooseFolder(this, QStringLiteral("Select Plugin folder"), QDir::currentPath());
    orchestrator_.outputFolderChosen(folder.isEmpty() ? std::string()
                                                      : bytesOf(QDir::toNativeSeparators(folder)));
}

void MainWindow::chooseDisassembler() {
    const QString program = dialogs_.chooseProgram(this);
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
    // A tick due while a step waits in a box, or while the disassembler
    // runs, is left out; the next one comes 5 seconds later.
    if (handling_ || disassemblyRunning()) {
        watcher_.follow(orchestrator_.controls().watcherRunning);
        return;
    }
    act([this] { orchestrator_.watcherTick(); });
}

// ---- the disassembler off the window's thread -------------------------------

void MainWindow::launchDisassembly() {
    if (disassemblyRunning())
        return;
    runner_.clearCancel();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    busy_->show();
    cancel_->show();
    statusBar()->showMessage(QStringLiteral("Disassembling ") +
                             shown(fileNamePart(orchestrator_.options().elfPath)) +
                             QStringLiteral(" ..."));
    worker_ = QThread::create([this] { outcome_ = orchestrator_.runDisassembler(); });
    connect(worker_, &QThread::finished, this, [this] { finishDisassembly(); });
    worker_->start();
}

void MainWindow::finishDisassembly() {
    // Its messages wait until a step's own box is closed, so boxes keep
    // their order.
    if (handling_) {
        QTimer::singleShot(50, this, [this] { finishDisassembly(); });
        return;
    }
    endWorker();
    if (!outcome_)
        return;
    const DisassemblyOutcome outcome = std::move(*outcome_);
    outcome_.reset();
    statusBar()->clearMessage();
    act([this, &outcome] { orchestrator_.applyDisassembly(outcome); }, false);
}

// A large conversion builds, checks and writes on the worker; the window
// stays responsive, shows that it works, and keeps every control that could
// change the listing disabled until the run's end is shown.
void MainWindow::launchConversion(std::function<void()> work, std::function<void()> done) {
    if (disassemblyRunning()) {
        work();
        done();
        return;
    }
    conversionDone_ = std::move(done);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    busy_->show();
    statusBar()->showMessage(QStringLiteral("Making CFunctions ..."));
    worker_ = QThread::create(std::move(work));
    connect(worker_, &QThread::finished, this, [this] { finishConversion(); });
    worker_->start();
}

void MainWindow::finishConversion() {
    if (handling_) {
        QTimer::singleShot(50, this, [this] { finishConversion(); });
        return;
    }
    endWorker();
    std::function<void()> done = std::move(conversionDone_);
    conversionDone_ = nullptr;
    statusBar()->clearMessage();
    if (done)
        act([&done] { done(); }, false);
}

void MainWindow::endWorker() {
    if (worker_ == nullptr)
        return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    QApplication::restoreOverrideCursor();
    busy_->hide();
    cancel_->hide();
}

void MainWindow::cancelDisassembly() {
    if (disassemblyRunning())
        runner_.requestCancel();
}

// ---- window events ------------------------------------------------------------

// The close box and "E&xit" alike: a running disassembler is ended, then
// the options are saved, the "Show ALL funcs" state first.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (disassemblyRunning()) {
        runner_.requestCancel();
        endWorker();
        outcome_.reset();
    }
    watcher_.follow(false);
    orchestrator_.saveAtUnload(store_);
    orchestrator_.saveAtEnd(store_);
    saveWindowPlacement(store_, *this, {listsSplitter_, findingsSplitter_});
    store_.writeBool(keys::kDesktopColours, desktopColours_->isChecked());
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!disassemblyRunning() && !droppedElfFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedElfFile(event->mimeData());
    if (path.isEmpty() || disassemblyRunning())
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
