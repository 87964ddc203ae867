#include "platform/HelpOpener.h"

#ifdef _WIN32
#include "platform/DetachedStart.h"
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

#ifdef _WIN32

// Started minimized with the focus (the command interpreter's own window),
// without waiting; the viewer it starts opens as the desktop decides.
bool openHelpDocument(const std::string& programFolder) {
    return startDetached(helpCommandLine(programFolder), StartedWindow::Minimized);
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
