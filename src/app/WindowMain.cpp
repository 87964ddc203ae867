// The Travonix desktop program: the window over the current user's settings,
// the real files and the toolchain's objdump.

#include "app/MainWindow.h"
#include "app/SettingsStore.h"
#include "app/WindowDialogs.h"
#include "core/Version.h"
#include "platform/LocalEnvironment.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtGui/QIcon>
#include <QtWidgets/QApplication>

namespace {

// "--screenshot FILE" (not shown to users): once the start-up load is done,
// the window is saved as a picture and the program ends. The repository's
// screenshot is made this way.
QString screenshotFile(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
}

void saveWhenSettled(travonix::MainWindow& window, const QString& file) {
    auto* poll = new QTimer(&window);
    auto* settled = new QElapsedTimer;
    settled->start();
    QObject::connect(poll, &QTimer::timeout, &window, [&window, file, poll, settled] {
        if (window.disassemblyRunning() || settled->elapsed() < 1500)
            return;
        poll->stop();
        delete settled;
        const bool saved = window.grab().save(file);
        window.close();
        if (!saved)
            QCoreApplication::exit(1);
    });
    poll->start(100);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(travonix::kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(travonix::kVersionText));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/travonix/travonix.png")));

    travonix::SettingsStore store = travonix::SettingsStore::forCurrentUser();
    travonix::QtWindowDialogs dialogs;
    travonix::LocalEnvironment environment;
    travonix::ProcessRunner runner;
    travonix::MainWindow window({store, dialogs, environment, runner});
    window.startUp();
    window.show();
    const QString screenshot = screenshotFile(QApplication::arguments());
    if (!screenshot.isEmpty())
        saveWhenSettled(window, screenshot);
    return QApplication::exec();
}
