#include "platform/HelpOpener.h"

#include "platform/HelpLocation.h"

#ifdef _WIN32
#include "platform/DetachedStart.h"
#else
#include <QtCore/QString>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>
#endif

namespace travonix {

#ifdef _WIN32

// Started minimized with the focus (the command interpreter's own window),
// without waiting; the viewer it starts opens as the desktop decides.
HelpOpening openHelpDocument(const std::string& programFolder) {
    HelpOpening opening;
    opening.path = helpDocumentPlaces(programFolder).front();
    opening.opened = startDetached(helpCommandLine(programFolder), StartedWindow::Minimized);
    if (!opening.opened)
        opening.reason = "The command interpreter (cmd.exe) could not be started.";
    return opening;
}

#else

// No command interpreter with file associations here: the desktop's own URL
// opener starts the PDF viewer.
HelpOpening openHelpDocument(const std::string& programFolder) {
    HelpOpening opening;
    const std::optional<std::string> found = findHelpDocument(programFolder);
    if (!found) {
        const std::vector<std::string> places = helpDocumentPlaces(programFolder);
        opening.path = places.front();
        opening.reason = "The help document is not installed: it is neither beside the program "
                         "nor in " +
                         places.back() + ".";
        return opening;
    }
    opening.path = *found;
    opening.opened = QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(*found)));
    if (!opening.opened)
        opening.reason = "The desktop found no program to open PDF files with (xdg-open "
                         "failed). Install a PDF viewer, or open the file yourself.";
    return opening;
}

#endif

} // namespace travonix
