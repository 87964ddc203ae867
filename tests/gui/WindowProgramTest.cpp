// The window program's command line: --help and --version print and end,
// as Qt programs do; an argument that names a file opens it as the ELF file.

#include "support/Fixtures.h"

#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QSettings>

#include <gtest/gtest.h>

#include <filesystem>

namespace travonix::test {
namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
};

// The program with its settings in `home`, on the offscreen platform.
ProgramRun runWindowProgram(const QStringList& arguments, const std::string& home) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), QString::fromStdString(home));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(home + "/config"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TRAVONIX_WINDOW_PATH), arguments);
    EXPECT_TRUE(program.waitForFinished(30000));
    return {program.exitCode(), QString::fromLocal8Bit(program.readAllStandardOutput())};
}

TEST(WindowProgram, HelpAndVersionPrintAndEnd) {
    TempDir home;
    const ProgramRun version = runWindowProgram({QStringLiteral("--version")}, home.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("Travonix 1.0.21\n"));
    const ProgramRun help = runWindowProgram({QStringLiteral("--help")}, home.path());
    EXPECT_EQ(help.exitCode, 0);
    for (const char* part : {"Usage:", "--version", "--help", "[elf-file]"})
        EXPECT_TRUE(help.out.contains(QLatin1String(part))) << part << "\n"
                                                            << help.out.toStdString();
    // The hidden option is not offered.
    EXPECT_FALSE(help.out.contains(QStringLiteral("screenshot")));
    // Neither started the window, so nothing was saved.
    EXPECT_FALSE(std::filesystem::exists(home.file("config/Travonix")));
}

TEST(WindowProgram, AnArgumentThatIsAFileIsOpenedAsTheElfFile) {
    TempDir home;
    const std::string elf = home.file("demo.elf");
    std::filesystem::copy_file(examplePath("demo.elf"), elf);
    const ProgramRun run = runWindowProgram({QStringLiteral("--screenshot"),
                                             QString::fromStdString(home.file("shot.png")),
                                             QString::fromStdString(elf)},
                                            home.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(home.file("shot.png")));
    // What the window saved at exit: the ELF file and the folder it chose.
    QSettings saved(QString::fromStdString(home.file("config/Travonix/Travonix.ini")),
                    QSettings::IniFormat);
    EXPECT_EQ(saved.value(QStringLiteral("Paths/ELFFileName")).toString().toStdString(), elf);
    EXPECT_EQ(saved.value(QStringLiteral("Paths/PluginFolderName")).toString().toStdString(),
              home.path());
}

} // namespace
} // namespace travonix::test
