#pragma once

#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace vesk::host {

// The first word of `arguments` (given in order, before any option) that stands where `app`
// expects one of its subcommands but names none of them, as a message that names the closest
// subcommand: "unknown command 'lst' (the closest is 'list')". Nothing when every word names
// a command.
std::optional<std::string> UnknownCommand(const CLI::App& app,
                                          const std::vector<std::string>& arguments);

// The versions `vesk --version` prints: the program and its libraries, the engines and Qt.
std::string VersionText();

}  // namespace vesk::host
