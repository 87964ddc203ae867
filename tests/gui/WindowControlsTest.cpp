// What the window shows before start-up and how it looks: every control's
// kind, caption, tooltip and first state, the menus, fonts and colours, the
// About box and the help document.

#include "WindowHarness.h"

#include "app/AboutBox.h"

#include <QtCore/QTimer>
#include <QtGui/QFontDatabase>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPushButton>

#include <fstream>

namespace travonix::test {
namespace {

enum class First { None, Empty, Checked, Unchecked, Hidden };

struct ControlRow {
    const char* name;
    const char* kind;
    const char* caption;
    const char* toolTip;
    First first;
};

const ControlRow kControls[] = {
    {"elfFileName", "QLineEdit", "", "Name of .ELF file", First::Empty},
    {"pickElf", "QPushButton", "&Select .ELF", "Select .ELF file", First::None},
    {"workingFolder", "QLineEdit", "",
     "Working Directory, ie where the .ELF file is located, & where .DIS files will be created",
     First::Empty},
    {"workingFolderLabel", "QLabel", "Working Directory",
     "Working Directory, ie where the .ELF file is located, & where .DIS files will be created",
     First::None},
    {"outputFolder", "QLineEdit", "",
     "Where the CFunction file(s) will be created, ie the .bas files", First::Empty},
    {"outputFolderLabel", "QLabel", "Output Directory",
     "Where the CFunction file(s) will be created, ie the .bas files", First::None},
    {"pickOutputFolder", "QPushButton", "&CFunction Folder",
     "Select folder where CFunctions are stored", First::None},
    {"refresh", "QPushButton", "&Refresh", "Reload the .ELF file and Disassemble", First::None},
    {"listing", "QListView", "", "Disassembled .ELF file", First::Empty},
    {"functions", "QListView", "", "Functions found", First::Empty},
    {"generatedSource", "QListView", "", "Generated CFunction Opcodes", First::Empty},
    {"make", "QPushButton", "&Make CFunction(s)", "Make the CFunction(s) and write .bas file(s)",
     First::None},
    {"mergedName", "QLineEdit", "", "Name of Complex CFunction", First::Hidden},
    {"size", "QLineEdit", "", "Size in KBytes of  CFunction(s)", First::Empty},
    {"makeTime", "QLineEdit", "", "CFunction(s) Creation Date & Time", First::Empty},
    {"merge", "QRadioButton", "Merge CFunctions",
     "Merge all CFunctions into a single CFunction - Use if functions inside CFunction call each "
     "other",
     First::Unchecked},
    {"singleFile", "QRadioButton", "Single CFunc File",
     "1 file containing multiple CFunction/End CFunction statements ", First::Checked},
    {"individualFiles", "QRadioButton", "Individual Files",
     "Generate an Individual file per Function", First::Unchecked},
    {"mplab", "QRadioButton", "MPLab", "Click if you have MPLab installed", First::Unchecked},
    {"mplabx", "QRadioButton", "MPLabX", "Click if you have MPLabX installed", First::Checked},
    {"showAllFunctions", "QCheckBox", "Show ALL funcs",
     "Check to show System Functions as well as CFunction functions", First::Unchecked},
    {"selectAllFunctions", "QCheckBox", "Select ALL funcs",
     "Check toSelect ALL functions for inclusion into the CFunction(s)", First::Checked},
    {"includeMain", "QCheckBox", "Include main()", "Show function main() as well",
     First::Unchecked},
    {"saveDisasm", "QCheckBox", "Save DisAsm", "Save Disassembly Output - Filename=DisAsm.txt",
     First::Unchecked},
    {"autoLoadElf", "QCheckBox", "Auto Load .ELF on Startup", "Auto Load .ELF on program startup",
     First::Unchecked},
    {"autoCheck", "QCheckBox", "AutoCheck ELF", "Check every 5 secs for changes to .ELF",
     First::Unchecked},
    {"autoGenerate", "QCheckBox", "Auto Generate",
     "Automatically Re-Generate CFunction file(s) whenever .ELF changes", First::Unchecked},
    {"listingFileName", "QLineEdit", "", "Full Path to .DIS file", First::Hidden},
};

QString captionOf(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return {};
}

class WindowControls : public WindowTest {
  protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(WindowServices{store, dialogs, environment, runner});
    }
};

TEST_F(WindowControls, EachControlHasItsKindCaptionToolTipAndFirstState) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        auto* widget = control<QWidget>(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(row.kind)) << widget->metaObject()->className();
        EXPECT_EQ(captionOf(widget), QString::fromLatin1(row.caption));
        EXPECT_EQ(widget->toolTip(), QString::fromLatin1(row.toolTip));
        EXPECT_EQ(widget->isHidden(), row.first == First::Hidden);
        if (auto* button = qobject_cast<QAbstractButton*>(widget);
            button && button->isCheckable()) {
            EXPECT_EQ(button->isChecked(), row.first == First::Checked);
        }
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_TRUE(edit->text().isEmpty());
        }
        if (auto* view = qobject_cast<QListView*>(widget)) {
            EXPECT_EQ(view->model()->rowCount(), 0);
            EXPECT_TRUE(view->uniformItemSizes());
        }
    }
    EXPECT_EQ(control<QListView>("functions")->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_TRUE(control<QLineEdit>("workingFolder")->font().bold());
}

TEST_F(WindowControls, ListingAndSourceUseCourierNewOrTheFixedFont) {
    const QString expected = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                                 ? QStringLiteral("Courier New")
                                 : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    EXPECT_EQ(control<QListView>("listing")->font().family(), expected);
    EXPECT_EQ(control<QListView>("generatedSource")->font().family(), expected);
}

TEST_F(WindowControls, MenusHoldExitTheColourChoiceHelpAndAbout) {
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(bar[1]->text(), QStringLiteral("&View"));
    EXPECT_EQ(bar[2]->text(), QStringLiteral("&Help"));
    ASSERT_EQ(bar[0]->menu()->actions().size(), 1);
    EXPECT_EQ(bar[0]->menu()->actions()[0]->text(), QStringLiteral("E&xit"));
    ASSERT_EQ(bar[1]->menu()->actions().size(), 1);
    EXPECT_EQ(bar[1]->menu()->actions()[0]->text(), QStringLiteral("Use desktop colours"));
    ASSERT_EQ(bar[2]->menu()->actions().size(), 2);
    EXPECT_EQ(bar[2]->menu()->actions()[0]->text(), QStringLiteral("&Help"));
    EXPECT_EQ(bar[2]->menu()->actions()[1]->text(), QStringLiteral("&About"));
    EXPECT_FALSE(window->windowIcon().isNull());
}

// The colours as drawn: blue window and fields, dark-blue lists, cyan
// buttons, a yellow menu bar with a cyan "&File" menu and a default "&Help".
TEST_F(WindowControls, ColoursAreDrawnAsDesigned) {
    window->resize(1100, 700);
    const QImage shot = window->grab().toImage();
    const auto colourInside = [&](const char* name) {
        auto* widget = window->findChild<QWidget*>(QString::fromLatin1(name));
        return shot.pixelColor(widget->mapTo(window.get(), QPoint(4, 4)));
    };
    const QColor blue(0, 0, 255);
    const QColor darkBlue(0, 0, 192);
    const QColor cyan(0, 255, 255);
    EXPECT_EQ(shot.pixelColor(window->centralWidget()->mapTo(window.get(), QPoint(2, 2))), blue);
    EXPECT_EQ(colourInside("elfFileName"), blue);
    EXPECT_EQ(colourInside("listing"), darkBlue);
    EXPECT_EQ(colourInside("functions"), darkBlue);
    EXPECT_EQ(colourInside("make"), cyan);
    EXPECT_EQ(colourInside("refresh"), cyan);
    EXPECT_EQ(shot.pixelColor(window->menuBar()->mapTo(window.get(), QPoint(1, 1))),
              QColor(255, 255, 0));

    auto* fileMenu = window->findChild<QMenu*>(QStringLiteral("fileMenu"));
    auto* helpMenu = window->findChild<QMenu*>(QStringLiteral("helpMenu"));
    fileMenu->ensurePolished();
    helpMenu->ensurePolished();
    EXPECT_EQ(fileMenu->grab().toImage().pixelColor(3, 3), cyan);
    EXPECT_NE(helpMenu->grab().toImage().pixelColor(3, 3), cyan);
}

TEST_F(WindowControls, AboutBoxShowsTheProductAndHasNoSystemInformationHere) {
    AboutBox about(dialogs, window.get());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Travonix"));
    const auto label = [&](const char* name) {
        return about.findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    EXPECT_EQ(label("title"), QStringLiteral("Travonix"));
    EXPECT_EQ(label("version"), QStringLiteral("Version 1.0.21"));
    const QStringList description = label("description").split(QLatin1Char('\n'));
    ASSERT_EQ(description.size(), 4);
    EXPECT_EQ(description[0], QStringLiteral("Travonix"));
    EXPECT_EQ(description[1], QStringLiteral("Assists in the generation of Velmora Orvo "
                                             "CFunctions inc DATA CFunctions"));
    EXPECT_FALSE(description[2].isEmpty());
    EXPECT_TRUE(description[3].isEmpty());
    EXPECT_TRUE(label("disclaimer").contains(QStringLiteral("Tavik")));
    EXPECT_EQ(about.findChild<QPushButton*>(QStringLiteral("ok"))->text(), QStringLiteral("OK"));
    auto* systemInfo = about.findChild<QPushButton*>(QStringLiteral("systemInfo"));
    EXPECT_EQ(systemInfo->text(), QStringLiteral("&System Info..."));

    systemInfo->click();
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(dialogs.messages[0].title, "Travonix");
}

TEST_F(WindowControls, AboutMenuShowsTheAboutBoxModally) {
    QString shownTitle;
    bool modal = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr)
            return;
        closer.stop();
        shownTitle = box->windowTitle();
        modal = box->isModal();
        box->close();
    });
    closer.start(20);
    window->findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
    EXPECT_EQ(shownTitle, QStringLiteral("About Travonix"));
    EXPECT_TRUE(modal);
}

TEST(HelpDocument, TheBuildWritesTheGuideAsAPdfBesideTheProgram) {
    const std::string pdf = readWholeFile(TRAVONIX_HELP_PDF_PATH);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    // A real guide of several pages, not an empty document.
    EXPECT_GT(pdf.size(), 20000U);
    const std::size_t count = pdf.find("/Count ");
    ASSERT_NE(count, std::string::npos);
    EXPECT_GE(std::stoi(pdf.substr(count + 7, 4)), 3);
}

} // namespace
} // namespace travonix::test
