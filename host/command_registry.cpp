#include "command_registry.h"

#include <algorithm>
#include <exception>
#include <ostream>

#include "components_command.h"
#include "db_command.h"
#include "demo_command.h"
#include "photo_command.h"
#include "sql_command.h"

namespace vesk::host {

namespace {

std::vector<CommandInstaller> Installers() {
    return {InstallSqlCommand, InstallPhotoCommands, InstallDbCommands, InstallDemoCommand,
            InstallComponentsCommands};
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, Output output) {
    CLI::App app{"vesk: runs the Vesk photo store and database utilities on real databases"};
    app.name("vesk");
    app.require_subcommand(1);
    CommandAction action;
    for (const CommandInstaller& install : Installers()) {
        install(app, action);
    }
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        output.out << app.help();
        return kSuccess;
    } catch (const CLI::CallForAllHelp&) {
        output.out << app.help("", CLI::AppFormatMode::All);
        return kSuccess;
    } catch (const CLI::ParseError& error) {
        output.err << "vesk: " << error.what() << "\nRun with --help for more information.\n";
        return kUsage;
    }
    try {
        action(output);
    } catch (const std::exception& error) {
        output.err << "vesk: " << error.what() << "\n";
        return kFailure;
    }
    return kSuccess;
}

}  // namespace vesk::host
