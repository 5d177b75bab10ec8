#include "command_registry.h"

#include <algorithm>
#include <exception>
#include <ostream>

#include "command_names.h"
#include "components_command.h"
#include "db_command.h"
#include "demo_command.h"
#include "documentation_command.h"
#include "photo_command.h"
#include "sql_command.h"
#include "vesk/data_access/password_mask.h"

namespace vesk::host {

namespace {

std::vector<CommandInstaller> Installers() {
    return {InstallSqlCommand,  InstallPhotoCommands,      InstallDbCommands,
            InstallDemoCommand, InstallComponentsCommands, InstallDocumentationCommands};
}

// The values given to the password options (--password, --to-password, ...; also written
// as --password=VALUE), whatever command they belong to; not the paths of password files.
std::vector<std::string> PasswordArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> passwords;
    for (std::size_t arg_idx = 0; arg_idx < arguments.size(); ++arg_idx) {
        const std::string& argument = arguments[arg_idx];
        if (!argument.starts_with("--") || argument.find("password") == std::string::npos ||
            argument.find("password-file") != std::string::npos ||
            argument.find("password-prompt") != std::string::npos) {
            continue;
        }
        std::size_t equals = argument.find('=');
        if (equals != std::string::npos) {
            passwords.push_back(argument.substr(equals + 1));
        } else if (arg_idx + 1 < arguments.size()) {
            passwords.push_back(arguments[arg_idx + 1]);
        }
    }
    return passwords;
}

// A usage message, which may repeat any argument, with no password in it: neither one of a
// connection text or URI it quotes, nor one given to a password option.
std::string WithoutPasswords(const std::string& message,
                             const std::vector<std::string>& arguments) {
    std::string masked = data_access::MaskPasswords(message);
    for (const std::string& password : PasswordArguments(arguments)) {
        masked = data_access::WithoutSecret(std::move(masked), password);
    }
    return masked;
}

}  // namespace

void AddQuietOption(CLI::App& command, bool& quiet) {
    command.add_flag("-q,--quiet", quiet, "print no progress and no summary, only errors");
}

Output QuietIf(bool quiet, Output output) {
    if (!quiet) {
        return output;
    }
    static std::ostream discarded(nullptr);
    return {discarded, output.err, true};
}

int RunCommandLine(const std::vector<std::string>& arguments, Output output) {
    CLI::App app{"vesk: runs the Vesk photo store and database utilities on real databases"};
    app.name("vesk");
    app.require_subcommand(1);
    CommandAction action;
    for (const CommandInstaller& install : Installers()) {
        install(app, action);
    }
    app.set_version_flag("--version", VersionText,
                         "print the versions of vesk, its libraries "
                         "and engines");
    if (std::optional<std::string> unknown = UnknownCommand(app, arguments)) {
        output.err << "vesk: " << *unknown << "\nRun with --help for more information.\n";
        return kUsage;
    }
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForVersion& version) {
        output.out << version.what() << '\n';
        return kSuccess;
    } catch (const CLI::CallForHelp&) {
        output.out << app.help();
        return kSuccess;
    } catch (const CLI::CallForAllHelp&) {
        output.out << app.help("", CLI::AppFormatMode::All);
        return kSuccess;
    } catch (const CLI::ParseError& error) {
        output.err << "vesk: " << WithoutPasswords(error.what(), arguments)
                   << "\nRun with --help for more information.\n";
        return kUsage;
    }
    try {
        action(output);
    } catch (const std::exception& error) {
        output.err << "vesk: " << data_access::MaskPasswords(error.what()) << "\n";
        return kFailure;
    }
    return kSuccess;
}

}  // namespace vesk::host
