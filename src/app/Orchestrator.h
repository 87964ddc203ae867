#pragma once

#include "app/Command.h"
#include "app/ControlState.h"
#include "app/Jobs.h"
#include "app/Session.h"
#include "app/ShownFindings.h"
#include "app/UserInterface.h"
#include "core/Environment.h"
#include "core/Options.h"
#include "platform/ProcessRunner.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace travonix {

class SettingsStore;

// What each user command does. A command is a value; applying it changes the
// options or the session and gives the follow-ups it implies (a re-read, a
// make, a disassembly), which one loop runs in order. Start-up is a plan of
// such commands made from the stored options. The window (and the headless
// tests) send commands; after each one the window shows the session, the
// options and the control state anew.
//
// The one re-entrancy rule: a command that arrives while the loop runs (a
// job's end while a box is open) waits in the loop's queue and runs when the
// command before it is done.
class Orchestrator {
  public:
    Orchestrator(UserInterface& ui, Environment& environment, ProcessRunner& runner);

    [[nodiscard]] const Session& session() const { return session_; }
    [[nodiscard]] const Options& options() const { return options_; }
    [[nodiscard]] const ControlState& controls() const { return controls_; }
    [[nodiscard]] const std::string& lastElfTime() const { return lastElfTime_; }
    // For tests and the command line: the options as given.
    Options& editOptions() { return options_; }
    // A caller may change the listing through it.
    Session& editSession() { return session_; }

    // Runs a command and everything it sets off.
    void perform(Command command);
    // Whether a command is running (a box of its may be open).
    [[nodiscard]] bool busy() const { return looping_; }
    // The window's own boxes (its choosers) hold the loop as a command's box
    // does: what arrives meanwhile waits, and runs once the box is closed.
    class Hold {
      public:
        explicit Hold(Orchestrator& o) : o_(o), held_(!o.looping_) { o_.looping_ = true; }
        ~Hold() {
            if (!held_)
                return;
            o_.looping_ = false;
            o_.runLoop();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        Orchestrator& o_;
        bool held_;
    };

    // With jobs going elsewhere (the window), a disassembly and a large
    // conversion are not run in the loop: the loop stops there and the job
    // waits to be taken, run off the window's thread and handed back to
    // jobDone(). Otherwise (tests, benchmarks) every job runs in place.
    void sendJobsElsewhere(bool on) { jobsElsewhere_ = on; }
    [[nodiscard]] std::optional<Job> takeJob();
    [[nodiscard]] bool jobOut() const { return jobOut_; }
    void jobDone(const Job& job);
    // A listing longer than this makes a conversion a job of its own.
    static constexpr std::size_t kLargeListingLines = 100000;

    // Start-up: the plan made from the stored options, run in place, then
    // the automatic load.
    void startUp(SettingsStore& store);
    // Exit: the "Show ALL funcs" state when the window unloads, the other
    // options when its life ends.
    void saveAtUnload(SettingsStore& store) const;
    void saveAtEnd(SettingsStore& store) const;

    // The commands, by name.
    void readListing() { perform(command::ReadListing{}); }
    void makeCFunctions() { perform(command::Make{}); }
    void refresh() { perform(command::Refresh{}); }
    void setShowAllFunctions(bool on) { perform(command::ShowAllFunctions{on}); }
    void setSelectAll(bool on) { perform(command::SelectAll{on}); }
    void setIncludeMain(bool on) { perform(command::IncludeMain{on}); }
    void selectOutputMode(OutputMode mode) { perform(command::SelectOutputMode{mode}); }
    void setMergedNameText(const std::string& text) { perform(command::MergedName{text}); }
    void setKeepListingCopy(bool on) { perform(command::KeepListingCopy{on}); }
    void setPositionIndependent(bool on) { perform(command::PositionIndependent{on}); }
    void setAutoLoadElf(bool on) { perform(command::AutoLoadElf{on}); }
    void selectToolchain(Toolchain toolchain) { perform(command::SelectToolchain{toolchain}); }
    // "Other": neither vendor toolchain; the command is the user's own.
    void selectOtherDisassembler() { perform(command::OtherDisassembler{}); }
    // The "Other" command given (typed or browsed for): "-z" added when it
    // lacks it; the ELF file is disassembled with it at once.
    void setDisassemblerCommand(const std::string& command) {
        perform(command::DisassemblerCommand{command});
    }
    void setAutoCheck(bool on) { perform(command::AutoCheck{on}); }
    void setAutoGenerate(bool on) { perform(command::AutoGenerate{on}); }
    // The ELF chooser's result (refresh follows) and the folder chooser's
    // ("" when cancelled: the folder stays).
    void elfChosen(const std::string& path) { perform(command::ElfChosen{path}); }
    void outputFolderChosen(const std::string& folder) {
        perform(command::OutputFolderChosen{folder});
    }
    // One tick of the ELF watcher.
    void watcherTick() { perform(command::WatcherTick{}); }
    // A row of the function list selected or not: the selection is the
    // view's, nothing follows from it.
    void selectFunction(std::size_t index, bool selected);

    // Given the disassembler command, a command to use instead when its
    // program is not there (std::nullopt when it is, or nothing else is
    // found). Start-up asks it before the automatic load.
    using DisassemblerFinder =
        std::function<std::optional<std::string>(const std::string& command)>;
    void setDisassemblerFinder(DisassemblerFinder find) { disassemblerFinder_ = std::move(find); }

  private:
    // Each command's effect and its follow-ups (Orchestrator*.cpp).
    FollowUps apply(const command::Refresh&);
    FollowUps apply(const command::Make&);
    FollowUps apply(const command::ReadListing&);
    FollowUps apply(const command::ShowAllFunctions& c);
    FollowUps apply(const command::SelectAll& c);
    FollowUps apply(const command::IncludeMain& c);
    FollowUps apply(const command::SelectOutputMode& c);
    FollowUps apply(const command::KeepOutputMode& c);
    FollowUps apply(const command::MergedName& c);
    FollowUps apply(const command::KeepListingCopy& c);
    FollowUps apply(const command::PositionIndependent& c);
    FollowUps apply(const command::AutoLoadElf& c);
    FollowUps apply(const command::AutoCheck& c);
    FollowUps apply(const command::AutoGenerate& c);
    FollowUps apply(const command::SelectToolchain& c);
    FollowUps apply(const command::ShowToolchain& c);
    FollowUps apply(const command::OtherDisassembler&);
    FollowUps apply(const command::DisassemblerCommand& c);
    FollowUps apply(const command::ElfChosen& c);
    FollowUps apply(const command::OutputFolderChosen& c);
    FollowUps apply(const command::WatcherTick&);
    FollowUps apply(const command::StoredPaths& c);
    FollowUps apply(const command::NoteElfTime&);
    FollowUps apply(const command::OfferFoundDisassembler&);
    FollowUps apply(const command::DisassemblyDone& c);
    FollowUps apply(const command::ConversionDone& c);

    struct Queued {
        Command command;
        bool jobsHere; // start-up's plan runs its jobs in place
    };
    void runLoop();
    void runFollowUps(FollowUps followUps);
    FollowUps readListingNow();
    FollowUps makeNow();
    FollowUps disassembleNow();
    // Hands the job out, or runs it here; gives what follows from its end.
    FollowUps launch(Job job);
    void finishConversion(ConversionJob& job);

    void report(const Diagnostics& diagnostics);
    void report(Diagnostics&& diagnostics); // the texts move into the last report
    void announce(const Diagnostic& diagnostic);
    void changed() { ++session_.revision; }
    void clearFindings();

    UserInterface& ui_;
    Environment& env_;
    ProcessRunner& runner_;
    Options options_;
    Session session_;
    ControlState controls_ = kWindowOpening.controls;
    std::string lastElfTime_;
    // The listing the last disassembly read while objdump wrote it, for the
    // read that follows it; with the read options it was read with.
    std::optional<ReadResult> arrived_;
    ReadOptions arrivedWith_;
    DisassemblerFinder disassemblerFinder_;

    std::deque<Queued> queue_;
    bool looping_ = false;
    bool jobsHere_ = true; // the command being run may not hand out its jobs
    bool jobsElsewhere_ = false;
    bool jobOut_ = false;
    std::optional<Job> waitingJob_;
};

} // namespace travonix
