#include "command_names.h"

#include <algorithm>
#include <numeric>

#include <fmt/format.h>
#include <QtGlobal>

#include "vesk/data_access/engine_versions.h"

namespace vesk::host {

namespace {

// How many single-character edits turn `from` into `to`.
std::size_t EditDistance(const std::string& from, const std::string& to) {
    std::vector<std::size_t> previous(to.size() + 1);
    std::iota(previous.begin(), previous.end(), 0);
    for (std::size_t i = 1; i <= from.size(); ++i) {
        std::vector<std::size_t> current(to.size() + 1);
        current[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            std::size_t substitution = previous[j - 1] + (from[i - 1] == to[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
        }
        previous = std::move(current);
    }
    return previous[to.size()];
}

const CLI::App* Subcommand(const CLI::App& app, const std::string& name) {
    for (const CLI::App* command : app.get_subcommands({})) {
        if (command->check_name(name)) {
            return command;
        }
    }
    return nullptr;
}

std::string ClosestName(const CLI::App& app, const std::string& word) {
    std::string closest;
    std::size_t best = std::string::npos;
    for (const CLI::App* command : app.get_subcommands({})) {
        std::size_t distance = EditDistance(word, command->get_name());
        if (distance < best) {
            best = distance;
            closest = command->get_name();
        }
    }
    return closest;
}

}  // namespace

std::optional<std::string> UnknownCommand(const CLI::App& app,
                                          const std::vector<std::string>& arguments) {
    const CLI::App* level = &app;
    for (const std::string& word : arguments) {
        if (word.starts_with("-") || level->get_subcommands({}).empty()) {
            return std::nullopt;
        }
        const CLI::App* next = Subcommand(*level, word);
        if (next == nullptr) {
            return fmt::format("unknown command '{}' (the closest is '{}')", word,
                               ClosestName(*level, word));
        }
        level = next;
    }
    return std::nullopt;
}

std::string VersionText() {
    return fmt::format(
        "vesk {0}\n"
        "libraries: VeskPhoto {1}, VeskPayDBUtilities {2}, VeskDatabaseUtilities {3}\n"
        "engines: {4}\n"
        "Qt {5}",
        VESK_VERSION, VESK_PHOTO_VERSION, VESK_PAY_DB_VERSION, VESK_LEGACY_DB_VERSION,
        data_access::EngineVersions(), qVersion());
}

}  // namespace vesk::host
