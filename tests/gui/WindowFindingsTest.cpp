// The relocation check's findings in the window: the panel, the marked
// functions and a click that shows a finding's line.

#include "WindowHarness.h"

#include "app/FindingTableModel.h"
#include "app/WindowText.h"

#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListView>

#include <cstdio>

namespace travonix::test {
namespace {

class WindowFindings : public WindowTest {
  protected:
    // calls.dis loaded (its routines read tables and call each other across
    // blocks), every function selected, one file per function made.
    void makeCallsFixture() {
        storeDemoPaths();
        useDisassembler("cat '" + fixturePath("calls.dis") + "'");
        store.writeBool(keys::kIndividualFiles, true);
        open();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        control<QAbstractButton>("refresh")->click();
        waitForDisassembly();
        control<QAbstractButton>("make")->click();
    }
    const Session& session() { return window->orchestrator().session(); }
    QModelIndex functionRow(const std::string& name) {
        const QAbstractItemModel* model = control<QListView>("functions")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (bytesOf(model->index(row, 0).data().toString()) == name)
                return model->index(row, 0);
        ADD_FAILURE() << name << " not listed";
        return {};
    }
};

TEST_F(WindowFindings, PanelListsThemAndTheirFunctionsAreMarked) {
    makeCallsFixture();
    ASSERT_EQ(session().findings.size(), 6U);
    std::vector<std::string> expected;
    for (const ShownFinding& shown : session().findings)
        expected.push_back(findingText(shown.finding));
    EXPECT_EQ(shownLines("findings"), expected);
    EXPECT_EQ(shownLines("findings")[0].rfind("crc_step  9d000010  absolute-address  Builds", 0),
              0U);
    EXPECT_TRUE(control<QLabel>("findingsTitle")->text().contains(QStringLiteral("6 findings")));

    // my_crc32 has two findings, both in its tooltip; the data table it
    // reads has none and stays unmarked.
    const QModelIndex marked = functionRow("my_crc32");
    EXPECT_EQ(marked.data(Qt::ForegroundRole).value<QColor>(), findingForeground());
    EXPECT_TRUE(marked.data(Qt::DecorationRole).isValid());
    const QString tip = marked.data(Qt::ToolTipRole).toString();
    EXPECT_EQ(tip.count(QStringLiteral("outside-call")), 2) << bytesOf(tip);
    EXPECT_TRUE(tip.contains(QStringLiteral("9d000054"))) << bytesOf(tip);
    const QModelIndex clean = functionRow("crc_nibble");
    EXPECT_FALSE(clean.data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(clean.data(Qt::DecorationRole).isValid());
    EXPECT_FALSE(clean.data(Qt::ToolTipRole).toString().contains(QStringLiteral("\n")));

    // A new read empties the panel and unmarks the functions.
    control<QAbstractButton>("refresh")->click();
    waitForDisassembly();
    EXPECT_TRUE(shownLines("findings").empty());
    EXPECT_FALSE(functionRow("my_crc32").data(Qt::ForegroundRole).isValid());
}

TEST_F(WindowFindings, AClickSelectsTheFindingsLineInTheListing) {
    makeCallsFixture();
    auto* findings = control<QAbstractItemView>("findings");
    auto* listing = control<QListView>("listing");
    // The findings of average_of and limited_average lie far down the listing.
    for (const int row : {4, 0, 5}) {
        SCOPED_TRACE(row);
        const ShownFinding& shown = session().findings[static_cast<std::size_t>(row)];
        const QModelIndex item = findings->model()->index(row, 0);
        findings->scrollTo(item);
        QTest::mouseClick(findings->viewport(), Qt::LeftButton, {},
                          findings->visualRect(item).center());

        const QModelIndex line = listing->currentIndex();
        ASSERT_TRUE(line.isValid());
        EXPECT_EQ(line.row(), shown.listingLine);
        EXPECT_TRUE(listing->selectionModel()->isSelected(line));
        char address[16];
        std::snprintf(address, sizeof address, "%08x:", shown.finding.address);
        EXPECT_EQ(bytesOf(line.data().toString()).rfind(address, 0), 0U);
        EXPECT_TRUE(listing->viewport()->rect().intersects(listing->visualRect(line)));
        const FunctionEntry& entry = session().functions[static_cast<std::size_t>(shown.function)];
        EXPECT_EQ(entry.name, shown.finding.function);
        EXPECT_GT(static_cast<std::size_t>(line.row()), entry.headerLine);
        EXPECT_EQ(control<QListView>("functions")->currentIndex().row(), shown.function);
    }
}

} // namespace
} // namespace travonix::test
