#include "platform/HelpCommandLine.h"

#include "platform/CmdLine.h"

namespace travonix {

std::string helpCommandLine(const std::string& programFolder) {
    return cmdOpenLine(programFolder + "\\" + kHelpDocumentName);
}

} // namespace travonix
