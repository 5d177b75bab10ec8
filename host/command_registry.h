#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace vesk::host {

// Where a command writes: its results and its messages. A quiet command draws no progress
// and prints no summary (its `out` discards them); its messages still reach `err`.
struct Output {
    std::ostream& out;
    std::ostream& err;
    bool quiet = false;
};

// Adds --quiet (-q) to a command that prints progress or a summary.
void AddQuietOption(CLI::App& command, bool& quiet);

// `output` made quiet when `quiet` is set.
Output QuietIf(bool quiet, Output output);

// What a command does once its options are parsed. Throws on failure.
using CommandAction = std::function<void(Output&)>;

// Exit statuses of every command.
enum ExitStatus : int { kSuccess = 0, kFailure = 1, kUsage = 2 };

// Adds the subcommands of one feature to the application; each sets `action` when chosen.
using CommandInstaller = std::function<void(CLI::App& app, CommandAction& action)>;

// Parses `arguments` (without the program name), runs the chosen command and returns its
// exit status: usage errors print the help hint and give 2, failures print "vesk: " and the
// description to `err` and give 1.
int RunCommandLine(const std::vector<std::string>& arguments, Output output);

}  // namespace vesk::host
