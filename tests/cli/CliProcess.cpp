#include "CliProcess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace travonix::test {

namespace {
// QProcess wants an application object; the tests have none of their own.
void ensureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "cli_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}
} // namespace

CliResult runTravonixCli(const std::vector<std::string>& arguments, const std::string& workingDir,
                         const std::map<std::string, std::string>& environment) {
    ensureApplication();
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SOURCE_DATE_EPOCH", "1796893507"); // 2026-12-10 09:05:07 UTC
    env.insert("USERNAME", "tester");
    for (const auto& [key, value] : environment)
        env.insert(QString::fromStdString(key), QString::fromStdString(value));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QString::fromStdString(workingDir));
    QStringList args;
    for (const std::string& a : arguments)
        args << QString::fromStdString(a);
    process.start(QString::fromUtf8(TRAVONIX_CLI_PATH), args);
    CliResult result;
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << "travonix-cli did not finish";
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

} // namespace travonix::test
