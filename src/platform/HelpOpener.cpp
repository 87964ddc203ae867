#include "platform/HelpOpener.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <QtCore/QFileInfo>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>
#endif

namespace travonix {

std::string helpDocumentPath(const std::string& programFolder) {
#ifdef _WIN32
    return programFolder + "\\" + kHelpDocumentName;
#else
    return programFolder + "/" + kHelpDocumentName;
#endif
}

std::string helpCommandLine(const std::string& programFolder) {
    return "cmd.exe /C \"" + programFolder + "\\" + kHelpDocumentName + "\"";
}

#ifdef _WIN32

// Started minimized with the focus (the command interpreter's own window),
// without waiting; the viewer it starts opens as the desktop decides.
bool openHelpDocument(const std::string& programFolder) {
    std::string line = helpCommandLine(programFolder); // CreateProcessA may write into it
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

#else

// No command interpreter with file associations here: the desktop's own URL
// opener starts the PDF viewer.
bool openHelpDocument(const std::string& programFolder) {
    const QString path = QString::fromLocal8Bit(helpDocumentPath(programFolder));
    if (!QFileInfo::exists(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

#endif

} // namespace travonix
