#pragma once

#include "app/Orchestrator.h"
#include "app/SettingsBackend.h"
#include "app/SettingsStore.h"
#include "platform/ProcessRunner.h"
#include "support/FakeEnvironment.h"
#include "support/OutputModeNames.h"
#include "support/ScriptedUserInterface.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace travonix::test {

// A stand-in for objdump: records what it was asked to run and, when it has
// a listing to print, writes it where the command sends standard output (the
// file beside the listing that the disassembler then puts in its place).
class FakeDisassembler : public ProcessRunner {
  public:
    explicit FakeDisassembler(FakeEnvironment& env) : env_(env) {}

    std::optional<std::string> listingText; // nothing printed when absent
    std::int32_t exitCode = 0;
    std::function<void()> whileRunning; // looks at the caller while the program runs
    std::vector<ProcessCommand> commands;
    std::vector<std::int32_t> windowStyles;

    ProcessResult run(const ProcessCommand& command, std::int32_t windowStyle) override {
        commands.push_back(command);
        windowStyles.push_back(windowStyle);
        if (whileRunning)
            whileRunning();
        if (listingText) {
            env_.files[command.standardOutputFile] = *listingText;
            if (command.onOutput) // as objdump's pipe hands it over
                command.onOutput(*listingText);
        }
        return {ProcessResult::Status::Exited, exitCode, ""};
    }

  private:
    FakeEnvironment& env_;
};

using StoredKey = std::pair<std::string, std::string>; // section, key

inline StoredKey storedKey(const SettingKey& key) {
    return {key.section, key.key};
}

// An in-memory settings store that records every read and write in order
// and can be told to fail on chosen keys.
struct SettingsLog {
    std::map<StoredKey, std::string> values;
    std::vector<StoredKey> reads;
    std::vector<StoredKey> writes;
    std::set<StoredKey> failingReads;
    std::set<StoredKey> failingWrites;
};

class RecordingBackend : public SettingsBackend {
  public:
    explicit RecordingBackend(SettingsLog& log) : log_(log) {}

    std::optional<std::string> read(const std::string& section, const std::string& key) override {
        log_.reads.emplace_back(section, key);
        if (log_.failingReads.count({section, key}) != 0)
            throw SettingsError("read failed");
        auto it = log_.values.find({section, key});
        if (it == log_.values.end())
            return std::nullopt;
        return it->second;
    }
    void write(const std::string& section, const std::string& key,
               const std::string& text) override {
        log_.writes.emplace_back(section, key);
        if (log_.failingWrites.count({section, key}) != 0)
            throw SettingsError("write failed");
        log_.values[{section, key}] = text;
    }

  private:
    SettingsLog& log_;
};

inline SettingsStore recordingStore(SettingsLog& log) {
    return SettingsStore(std::make_unique<RecordingBackend>(log));
}

// The window's handler chain with scripted boxes, in-memory files and a fake
// objdump.
struct AppUnderTest {
    FakeEnvironment env;
    ScriptedUserInterface ui;
    FakeDisassembler disassembler{env};
    Orchestrator app{ui, env, disassembler};
};

} // namespace travonix::test
