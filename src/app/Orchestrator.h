#pragma once

#include "app/Session.h"
#include "app/UserInterface.h"
#include "check/Finding.h"
#include "check/ImageExtent.h"
#include "core/Conversion.h"
#include "core/Environment.h"
#include "core/Options.h"
#include "pipeline/Pipeline.h"
#include "platform/Disassembler.h"
#include "platform/ProcessRunner.h"

#include <functional>
#include <memory>
#include <string>

namespace travonix {

class SettingsStore;

// A finding as one line for the status line and the findings panel: the
// function, the address as eight hexadecimal digits (the header's for a
// finding about a name), the kind and the sentence, two blanks apart.
[[nodiscard]] std::string findingText(const check::Finding& finding);

// What the window's controls show that is not an option.
struct ControlState {
    bool loading = false;        // start-up is applying the stored options
    bool watcherRunning = false; // the 5-second ELF check is on
    // "Auto Generate" acts on every load and Refresh, so it stays in view
    // whether or not "AutoCheck ELF" is ticked.
    bool autoGenerateShown = true;
    std::string listingToolTip = "Disassembled .ELF file";
};

// The window's handler chain in one place: what each user action does, what
// follows which change, the start-up order and the saves at exit. The
// window (and the headless tests) call these; each runs to its end, and the
// window then shows the session, the options and the control state anew.
class Orchestrator {
  public:
    Orchestrator(UserInterface& ui, Environment& environment, ProcessRunner& runner);

    [[nodiscard]] const Session& session() const { return session_; }
    [[nodiscard]] const Options& options() const { return options_; }
    [[nodiscard]] const ControlState& controls() const { return controls_; }
    [[nodiscard]] const std::string& lastElfTime() const { return lastElfTime_; }
    // For tests and the command line: the options as given.
    Options& editOptions() { return options_; }
    Session& editSession();

    // Start-up: every stored option applied in its fixed order, with the
    // actions each change sets off, then the automatic load.
    void startUp(SettingsStore& store);
    // Exit: the "Show ALL funcs" state when the window unloads, the other
    // options when its life ends.
    void saveAtUnload(SettingsStore& store) const;
    void saveAtEnd(SettingsStore& store) const;

    // Reads the listing file anew (keeps the selection, rewrites the jumps,
    // generates when "Auto Generate" is on).
    void readListing();
    // "&Make CFunction(s)".
    void makeCFunctions();
    // "&Refresh": disassembles the ELF file, then reads the listing.
    void refresh();
    // The two halves of refresh, so the window can run the first off its
    // thread: the disassembler run, then what the window does with it.
    [[nodiscard]] DisassemblyOutcome runDisassembler() const;
    void applyDisassembly(const DisassemblyOutcome& outcome);
    // Once set, a refresh outside start-up calls this instead of running the
    // disassembler here; the window then runs runDisassembler() on a worker
    // and applyDisassembly() on its own thread. Start-up's disassemblies stay
    // in place, so the steps after them see what they read.
    void setDisassemblyLauncher(std::function<void()> launch) { launcher_ = std::move(launch); }
    // The window runs `work` (the build, the check, the writing) off its
    // thread and then `done` on it, for a run on a large listing; without a
    // launcher, and during start-up, a run is done in place.
    using ConversionLauncher =
        std::function<void(std::function<void()> work, std::function<void()> done)>;
    void setConversionLauncher(ConversionLauncher launch) {
        conversionLauncher_ = std::move(launch);
    }
    // A listing longer than this makes a run large.
    static constexpr std::size_t kLargeListingLines = 100000;

    void setShowAllFunctions(bool on);
    void setSelectAll(bool on);
    void setIncludeMain(bool on);
    void selectOutputMode(OutputMode mode);
    void setMergedNameText(const std::string& text);
    void setKeepListingCopy(bool on) { options_.conversion.keepListingCopy = on; }
    void setAutoLoadElf(bool on) { options_.autoLoadElf = on; }
    void selectToolchain(Toolchain toolchain);
    // "Other": neither vendor toolchain; the command is the user's own.
    void selectOtherDisassembler();
    // The "Other" command given (typed or browsed for): "-z" added when it
    // lacks it; the ELF file is disassembled with it at once.
    void setDisassemblerCommand(const std::string& command);
    // Given the disassembler command, a command to use instead when its
    // program is not there (std::nullopt when it is, or nothing else is
    // found). Start-up asks it before the automatic load.
    using DisassemblerFinder =
        std::function<std::optional<std::string>(const std::string& command)>;
    void setDisassemblerFinder(DisassemblerFinder find) { disassemblerFinder_ = std::move(find); }
    void setAutoCheck(bool on);
    void setAutoGenerate(bool on);
    void selectFunction(std::size_t index, bool selected);

    // The ELF chooser's result (refresh follows) and the folder chooser's
    // ("" when cancelled).
    void elfChosen(const std::string& path);
    // A cancelled folder chooser keeps the folder.
    void outputFolderChosen(const std::string& folder);

    // One tick of the ELF watcher.
    void watcherTick();

  private:
    // Marks a user action: the outermost one starts the session's report
    // afresh, so the report holds what the last action (and everything it
    // set off) said.
    class Step {
      public:
        explicit Step(Orchestrator& o) : o_(o) {
            if (o_.stepDepth_++ == 0)
                o_.session_.lastReport.clear();
        }
        ~Step() { --o_.stepDepth_; }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

      private:
        Orchestrator& o_;
    };
    int stepDepth_ = 0;

    void report(const Diagnostics& diagnostics);
    void report(Diagnostics&& diagnostics); // the texts move into the last report
    void announce(const Diagnostic& diagnostic);
    void changed() { ++session_.revision; }
    void clearFindings();
    void applyStoredToolchain(SettingsStore& store);
    void applyStoredOutputMode(SettingsStore& store);
    void offerFoundDisassembler();

    UserInterface& ui_;
    Environment& env_;
    ProcessRunner& runner_;
    Options options_;
    Session session_;
    ControlState controls_;
    std::string lastElfTime_;
    std::function<void()> launcher_;
    ConversionLauncher conversionLauncher_;
    DisassemblerFinder disassemblerFinder_;

    // One make run between its questions and what the user sees of it: a
    // snapshot in (the listing it was planned on, the plan, the request and
    // the answers to its jalr questions), the pipeline's result out.
    struct ConversionJob {
        std::shared_ptr<const LoadedListing> listing;
        ConversionPlan plan;
        ConversionRequest request;
        std::vector<bool> answers;
        ConversionResult result;
    };
    // The heavy half, on whichever thread runs it: it touches only the job
    // and the files.
    static void runConversion(ConversionJob& job, FileWriter& writer);
    void finishConversion(ConversionJob& job);
};

} // namespace travonix
