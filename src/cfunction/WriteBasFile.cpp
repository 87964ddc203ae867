#include "cfunction/MakeCommand.h"
#include "cfunction/OutputFile.h"

namespace travonix {

bool WriteBasFile(Form& form, const std::string& name, const std::string& text) {
    if (!checkOutputFileName(form, name, ".bas"))
        return false;
    const std::string path = outputPath(form, name + ".bas");
    const std::string file = "'\r\n'" + path + "\r\n\r\n" + text + "\r\n";
    if (!writeOutputFile(form, path, file))
        return false; // the clipboard keeps what it had
    // An unavailable clipboard is no failure of the run: the file is written.
    (void)form.ui.setClipboardText("'\r\n'" + path + "\r\n" + text);
    return true;
}

} // namespace travonix
