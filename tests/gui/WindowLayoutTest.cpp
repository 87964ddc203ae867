// How the window is laid out and remembered: labels and headings, the
// findings table, the listing's first row, the smallest size, the focus mark
// and disabled controls, the desktop-colours choice and the window's place
// between runs.

#include "WindowHarness.h"

#include "app/FindingTableModel.h"
#include "app/Orchestrator.h"
#include "app/WindowText.h"

#include <QtCore/QSettings>
#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QTableView>

#include <cmath>

namespace travonix::test {
namespace {

// WCAG's contrast ratio of two colours (1 to 21).
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class WindowLayout : public WindowTest {
  protected:
    void showWindow() {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QSettings savedSettings() {
        return QSettings(QString::fromStdString(settingsPath), QSettings::IniFormat);
    }
};

TEST_F(WindowLayout, TheElfRowIsLabelledAndEachListHasAHeadingAboveIt) {
    struct Case {
        const char* control;
        const char* heading; // the start of the heading's text
    };
    const Case cases[] = {
        {"elfFileName", "&ELF File"},     {"listing", "&Disassembly"},
        {"functions", "F&unctions"},      {"generatedSource", "&Generated CFunction(s)"},
        {"findings", "Relocation check"},
    };
    open();
    showWindow();
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        auto* widget = control<QWidget>(c.control);
        const auto found = std::find_if(labels.begin(), labels.end(), [widget](QLabel* label) {
            return label->buddy() == widget;
        });
        ASSERT_NE(found, labels.end());
        QLabel* label = *found;
        EXPECT_TRUE(label->text().startsWith(QString::fromLatin1(c.heading)))
            << bytesOf(label->text());
        EXPECT_TRUE(label->isVisible());
        const QPoint labelAt = label->mapTo(window.get(), QPoint(0, 0));
        const QPoint widgetAt = widget->mapTo(window.get(), QPoint(0, 0));
        if (std::string(c.control) == "elfFileName")
            EXPECT_LT(labelAt.x(), widgetAt.x()); // beside it, as the other path rows
        else
            EXPECT_LT(labelAt.y(), widgetAt.y());
    }
}

TEST_F(WindowLayout, FindingsAreATableOfFunctionAddressKindAndSentence) {
    storeDemoPaths();
    useDisassembler("cat '" + fixturePath("calls.dis") + "'");
    store.writeBool(keys::kIndividualFiles, true);
    open();
    window->resize(1180, 720);
    showWindow();
    control<QAbstractButton>("refresh")->click();
    waitForDisassembly();
    control<QAbstractButton>("make")->click();
    const std::vector<ShownFinding>& findings = window->orchestrator().session().findings;
    ASSERT_EQ(findings.size(), 6U);

    auto* table = control<QTableView>("findings");
    const QAbstractItemModel* model = table->model();
    ASSERT_EQ(model->columnCount(), 4);
    QStringList headers;
    for (int column = 0; column < 4; ++column)
        headers << model->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{QStringLiteral("Function"), QStringLiteral("Address"),
                                    QStringLiteral("Kind"), QStringLiteral("Finding")}));
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        const check::Finding& finding = findings[static_cast<std::size_t>(row)].finding;
        const auto cell = [&](int column, int role = Qt::DisplayRole) {
            return bytesOf(model->index(row, column).data(role).toString());
        };
        EXPECT_EQ(cell(0), finding.function);
        EXPECT_EQ(cell(1).size(), 8U);
        EXPECT_EQ(std::stoul(cell(1), nullptr, 16), finding.address);
        EXPECT_EQ(cell(2), std::string(check::findingKindName(finding.kind)));
        EXPECT_EQ(cell(3), finding.sentence());
        // The sentence in full on hover, whichever cell the pointer is on.
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(cell(column, Qt::ToolTipRole), finding.sentence());
    }
    // The short columns are as wide as their text, and the sentence is cut
    // at the table's edge rather than scrolled to.
    for (int column = 0; column < 3; ++column)
        EXPECT_GE(table->columnWidth(column),
                  static_cast<QAbstractItemView*>(table)->sizeHintForColumn(column))
            << column;
    EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(table->verticalHeader()->isVisible());
}

TEST_F(WindowLayout, TheListingShowsNoBlankRowAtTheTop) {
    openWithDemoLoaded();
    window->resize(1180, 720);
    showWindow();
    auto* listing = control<QListView>("listing");
    // The listing itself still starts with objdump's empty line.
    ASSERT_TRUE(window->orchestrator().session().listing.text(0).empty());
    const QModelIndex top = listing->indexAt(QPoint(4, 2));
    ASSERT_TRUE(top.isValid());
    EXPECT_EQ(bytesOf(top.data().toString()), "9d000000 <int_sqrt>:");
    EXPECT_EQ(listing->currentIndex(), top);
    // Ctrl+C still copies the whole listing, the empty line included.
    QTest::keyClick(listing, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("\r\n9d000000")));
}

TEST_F(WindowLayout, AtTheSmallestSizeTheListsStayUsable) {
    open();
    window->resize(10, 10);
    showWindow();
    EXPECT_GE(window->width(), window->minimumSizeHint().width());
    for (const char* name : {"listing", "functions", "generatedSource"}) {
        SCOPED_TRACE(name);
        auto* list = control<QWidget>(name);
        EXPECT_GE(list->width(), 150);
        EXPECT_GE(list->height(), 120);
    }
    auto* findings = control<QTableView>("findings");
    EXPECT_GE(findings->height(), 3 * findings->verticalHeader()->defaultSectionSize());
}

TEST_F(WindowLayout, TheFocusedControlIsFramedInWhite) {
    open();
    showWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const QColor white(255, 255, 255);
    for (const char* name : {"make", "refresh", "elfFileName", "listing"}) {
        SCOPED_TRACE(name);
        auto* widget = control<QWidget>(name);
        auto* other = control<QWidget>(std::string(name) == "make" ? "refresh" : "make");
        other->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([other] { return other->hasFocus(); }));
        EXPECT_NE(widget->grab().toImage().pixelColor(0, 0), white);
        widget->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->hasFocus(); }));
        EXPECT_EQ(widget->grab().toImage().pixelColor(0, 0), white);
    }
}

TEST_F(WindowLayout, DisabledControlsKeepReadableText) {
    open();
    showWindow();
    for (const char* name : {"showAllFunctions", "includeMain", "refresh", "make"}) {
        SCOPED_TRACE(name);
        auto* widget = control<QWidget>(name);
        widget->setEnabled(false);
        const QImage shot = widget->grab().toImage();
        // The background at the right-hand edge, the text the colour that
        // stands out most from it.
        const QColor background = shot.pixelColor(shot.width() - 3, shot.height() / 2);
        double best = 1;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width() - 3; ++x)
                best = std::max(best, contrast(shot.pixelColor(x, y), background));
        EXPECT_GE(best, 4.5);
        widget->setEnabled(true);
    }
}

TEST_F(WindowLayout, DesktopColoursAreAViewChoiceKeptInTheSettings) {
    open();
    window->resize(900, 600);
    showWindow();
    auto* choice = window->findChild<QAction*>(QStringLiteral("desktopColoursAction"));
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->text(), QStringLiteral("Use desktop colours"));
    EXPECT_TRUE(choice->isCheckable());
    EXPECT_FALSE(choice->isChecked());
    const auto areaColour = [this] {
        return window->grab().toImage().pixelColor(
            window->centralWidget()->mapTo(window.get(), QPoint(2, 2)));
    };
    EXPECT_EQ(areaColour(), QColor(0, 0, 255));

    choice->trigger();
    EXPECT_NE(areaColour(), QColor(0, 0, 255));
    window->close();
    EXPECT_EQ(savedSettings().value(QStringLiteral("Window/UseDesktopColours")).toString(),
              QStringLiteral("True"));

    open();
    showWindow();
    choice = window->findChild<QAction*>(QStringLiteral("desktopColoursAction"));
    EXPECT_TRUE(choice->isChecked());
    EXPECT_NE(areaColour(), QColor(0, 0, 255));
    choice->trigger();
    EXPECT_EQ(areaColour(), QColor(0, 0, 255));
}

TEST_F(WindowLayout, SizeAndSplittersAreRememberedUnderKeysOfTheirOwn) {
    open();
    EXPECT_EQ(window->size(), QSize(1180, 720)); // as built when nothing is stored
    showWindow();
    window->resize(1100, 700);
    QCoreApplication::processEvents();
    const QSize size = window->size();
    ASSERT_NE(size, QSize(1180, 720));
    auto* lists = control<QSplitter>("lists");
    auto* listsAndFindings = control<QSplitter>("listsAndFindings");
    lists->setSizes({200, 300, 250});
    listsAndFindings->setSizes({250, 200});
    const QList<int> listSizes = lists->sizes();
    const QList<int> verticalSizes = listsAndFindings->sizes();
    window->close();
    {
        QSettings saved = savedSettings();
        for (const char* key :
             {"Window/Geometry", "Window/ListsSplitter", "Window/FindingsSplitter"})
            EXPECT_FALSE(saved.value(QString::fromLatin1(key)).toString().isEmpty()) << key;
    }

    open();
    showWindow();
    EXPECT_EQ(window->size(), size);
    EXPECT_EQ(control<QSplitter>("lists")->sizes(), listSizes);
    EXPECT_EQ(control<QSplitter>("listsAndFindings")->sizes(), verticalSizes);
}

} // namespace
} // namespace travonix::test
