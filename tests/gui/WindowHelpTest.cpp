// Help > Help when the desktop cannot open the guide: a box gives the reason
// and the file's path, and its second button puts the path on the clipboard.

#include "WindowHarness.h"

#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

#include <filesystem>

namespace travonix::test {
namespace {

class WindowHelp : public WindowTest {
  protected:
    void SetUp() override {
        // A program folder with no guide beside it, nor in share/doc.
        std::filesystem::create_directories(dir.file("bin"));
        programFolder = dir.file("bin");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }
};

TEST_F(WindowHelp, AMissingGuideIsExplainedAndItsPathCanBeCopied) {
    struct Case {
        const char* name;
        bool copy;
        QString clipboard;
    };
    const Case cases[] = {
        {"Copy Path", true, QString::fromStdString(dir.file("bin/help.pdf"))},
        {"OK", false, QStringLiteral("before")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        dialogs.offeredActions.clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        open();
        dialogs.messages.clear();
        dialogs.actionAnswers.push_back(c.copy);
        window->findChild<QAction*>(QStringLiteral("helpAction"))->trigger();

        ASSERT_EQ(dialogs.messages.size(), 1U);
        const std::string& text = dialogs.messages[0].text;
        EXPECT_EQ(dialogs.messages[0].title, "Travonix");
        EXPECT_NE(text.find("Cannot open the help document."), std::string::npos) << text;
        EXPECT_NE(text.find("not installed"), std::string::npos) << text;
        // Both places it was looked for are named.
        EXPECT_NE(text.find(dir.file("bin/help.pdf")), std::string::npos) << text;
        EXPECT_NE(text.find(dir.file("share/doc/travonix/help.pdf")), std::string::npos) << text;
        EXPECT_EQ(dialogs.offeredActions, std::vector<std::string>{"&Copy Path"});
        EXPECT_EQ(QGuiApplication::clipboard()->text(), c.clipboard);
        EXPECT_TRUE(dialogs.actionAnswers.empty());
    }
}

} // namespace
} // namespace travonix::test
