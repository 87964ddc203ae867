// The Travonix desktop program: the window over the current user's settings,
// the real files and the toolchain's objdump.

#include "app/MainWindow.h"
#include "app/SettingsStore.h"
#include "app/WindowDialogs.h"
#include "core/Version.h"
#include "platform/DisassemblerCandidates.h"
#include "platform/LocalEnvironment.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtGui/QIcon>
#include <QtWidgets/QApplication>

namespace {

// What the command line asks for. "--help" and "--version" print and end
// the program here, as Qt programs do. "--screenshot FILE" (not shown to
// users): once the start-up load is done, the window is saved as a picture
// and the program ends; the repository's screenshot is made this way.
struct WindowArguments {
    QString elfFile; // an argument that names a file, opened as the ELF file
    QString screenshotFile;
};

WindowArguments readArguments(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Turns the functions of a PIC32 ELF file into BASIC CFunction blocks."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("elf-file"),
                                 QStringLiteral("The ELF file to open (optional)."),
                                 QStringLiteral("[elf-file]"));
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("file"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshot);
    parser.process(app);
    WindowArguments arguments;
    arguments.screenshotFile = parser.value(screenshot);
    for (const QString& argument : parser.positionalArguments())
        if (QFileInfo(argument).isFile()) {
            arguments.elfFile = QFileInfo(argument).absoluteFilePath();
            break;
        }
    return arguments;
}

// Once the window has been painted and the start-up's jobs are done.
void saveWhenSettled(travonix::MainWindow& window, const QString& file) {
    QTimer::singleShot(1500, &window, [&window, file] {
        window.whenIdle([&window, file] {
            const bool saved = window.grab().save(file);
            window.close();
            if (!saved)
                QCoreApplication::exit(1);
        });
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(travonix::kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(travonix::kVersionText));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/travonix/travonix.png")));

    const WindowArguments arguments = readArguments(app);

    travonix::SettingsStore store = travonix::SettingsStore::forCurrentUser();
    travonix::QtWindowDialogs dialogs;
    travonix::LocalEnvironment environment;
    travonix::ProcessRunner runner;
    travonix::MainWindow window({store, dialogs, environment, runner});
    window.lookForDisassemblers(travonix::processSearchPath());
    window.startUp();
    window.show();
    if (!arguments.elfFile.isEmpty())
        window.openElfFile(arguments.elfFile);
    if (!arguments.screenshotFile.isEmpty())
        saveWhenSettled(window, arguments.screenshotFile);
    return QApplication::exec();
}
