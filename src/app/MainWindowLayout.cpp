// The window's controls, menus and their connections, built once.

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

} // namespace

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
    (kWindowOpening.outputMode == OutputMode::Merged       ? merge_
     : kWindowOpening.outputMode == OutputMode::SingleFile ? singleFile_
                                                           : individualFiles_)
        ->setChecked(true);
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
    selectAll_->setChecked(kWindowOpening.selectAllTicked);
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
    positionIndependent_ =
        named(new QCheckBox(QStringLiteral("Position independent"), area), "positionIndependent",
              "Merge mode: re-lay the merged block so that its tables, strings, switches and "
              "function pointers work wherever the interpreter loads it (costs a few words "
              "each)");

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
    for (QCheckBox* box : {showAll_, selectAll_, includeMain_, saveDisasm_, autoLoad_, autoCheck_,
                           autoGenerate_, positionIndependent_})
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
                    "Stop the running disassembler or CFunction run");
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
                                         autoCheck_, autoGenerate_, positionIndependent_, make_})
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
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelJob(); });
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
    onToggled(positionIndependent_, &Orchestrator::setPositionIndependent);

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

} // namespace travonix
