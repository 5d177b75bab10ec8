#include "documentation_command.h"

#include <ostream>
#include <string>
#include <vector>

#include <fmt/format.h>

namespace vesk::host {

namespace {

// Text as it can stand in roff: backslashes doubled, a leading dot or quote escaped.
std::string Roff(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        escaped += c == '\\'  ? std::string("\\e")
                   : c == '-' ? std::string("\\-")
                              : std::string(1, c);
    }
    if (!escaped.empty() && (escaped.front() == '.' || escaped.front() == '\'')) {
        escaped.insert(0, "\\&");
    }
    return escaped;
}

std::vector<const CLI::App*> Commands(const CLI::App& app) {
    std::vector<const CLI::App*> commands;
    for (const CLI::App* command : app.get_subcommands({})) {
        if (!command->get_name().empty() && !command->get_group().empty()) {
            commands.push_back(command);
        }
    }
    return commands;
}

// The options of `command` but its help, with those of its option groups (nameless
// subcommands).
std::vector<const CLI::Option*> AllOptions(const CLI::App& command) {
    std::vector<const CLI::Option*> options = command.get_options(
        [&command](const CLI::Option* option) { return option != command.get_help_ptr(); });
    for (const CLI::App* group : command.get_subcommands({})) {
        if (group->get_name().empty()) {
            std::vector<const CLI::Option*> grouped = AllOptions(*group);
            options.insert(options.end(), grouped.begin(), grouped.end());
        }
    }
    return options;
}

// An option's names as a user types them ("-q, --quiet"), or a positional one's name.
std::string NamesOf(const CLI::Option& option) {
    std::string names;
    for (const std::string& name : option.get_snames()) {
        names += (names.empty() ? "-" : ", -") + name;
    }
    for (const std::string& name : option.get_lnames()) {
        names += (names.empty() ? "--" : ", --") + name;
    }
    return names.empty() ? option.get_name() : names;
}

void WriteOptions(const CLI::App& command, std::ostream& out) {
    for (const CLI::Option* option : AllOptions(command)) {
        std::string names = NamesOf(*option);
        if (names.empty() || option->get_group().empty()) {
            continue;
        }
        out << ".TP\n.B " << Roff(names) << "\n" << Roff(option->get_description()) << "\n";
    }
}

void WriteCommand(const CLI::App& command, const std::string& path, std::ostream& out) {
    std::vector<const CLI::App*> children = Commands(command);
    if (children.empty()) {
        out << ".SS " << Roff(path) << "\n" << Roff(command.get_description()) << "\n";
        WriteOptions(command, out);
        return;
    }
    for (const CLI::App* child : children) {
        WriteCommand(*child, path + " " + child->get_name(), out);
    }
}

void WriteManual(const CLI::App& app, std::ostream& out) {
    out << ".TH VESK 1 \"\" \"vesk " << VESK_VERSION << "\" \"User Commands\"\n"
        << ".SH NAME\nvesk \\- " << Roff(app.get_description().substr(6)) << "\n"
        << ".SH SYNOPSIS\n.B vesk\n.I command\n[\\fIoptions\\fR]\n"
        << ".SH DESCRIPTION\nEvery command exits with 0 on success, 1 when the operation "
           "failed (its message on standard error) and 2 on a usage error.\n"
        << ".SH COMMANDS\n";
    for (const CLI::App* command : Commands(app)) {
        WriteCommand(*command, "vesk " + command->get_name(), out);
    }
    out << ".SH ENVIRONMENT\n.TP\n.B VESK_PASSWORD\nthe password of the database a command "
           "opens (also the source of a copy)\n.TP\n.B VESK_TO_PASSWORD\nthe password of a "
           "copy's destination\n.TP\n.B VESK_TEMPLATE_PASSWORD\nthe password of a repair's "
           "template\n";
}

// The words that may follow `command`: its subcommands, or its long options.
std::string Words(const CLI::App& command) {
    std::string words;
    for (const CLI::App* child : Commands(command)) {
        words += (words.empty() ? "" : " ") + child->get_name();
    }
    for (const CLI::Option* option : AllOptions(command)) {
        for (const std::string& name : option->get_lnames()) {
            words += (words.empty() ? "--" : " --") + name;
        }
    }
    return words;
}

void WriteCompletionCases(const CLI::App& command, const std::string& path, std::ostream& out) {
    out << fmt::format("        \"{}\") words=\"{}\" ;;\n", path, Words(command));
    for (const CLI::App* child : Commands(command)) {
        WriteCompletionCases(
            *child, path.empty() ? child->get_name() : path + " " + child->get_name(), out);
    }
}

void WriteCompletion(const CLI::App& app, std::ostream& out) {
    out << "# bash completion for vesk, made by `vesk completion`\n"
           "_vesk() {\n"
           "    local path=\"\" word words\n"
           "    for word in \"${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do\n"
           "        [[ $word == -* ]] && break\n"
           "        path=\"${path:+$path }$word\"\n"
           "    done\n"
           "    case \"$path\" in\n";
    WriteCompletionCases(app, "", out);
    out << "        *) words=\"\" ;;\n"
           "    esac\n"
           "    COMPREPLY=($(compgen -W \"$words\" -- \"${COMP_WORDS[COMP_CWORD]}\"))\n"
           "    [[ ${#COMPREPLY[@]} -eq 0 ]] && COMPREPLY=($(compgen -f -- "
           "\"${COMP_WORDS[COMP_CWORD]}\"))\n"
           "}\n"
           "complete -F _vesk vesk\n";
}

}  // namespace

void InstallDocumentationCommands(CLI::App& app, CommandAction& action) {
    CLI::App* manual = app.add_subcommand("manual", "print the manual page of vesk (roff)");
    manual->callback(
        [&app, &action] { action = [&app](Output& output) { WriteManual(app, output.out); }; });
    CLI::App* completion =
        app.add_subcommand("completion", "print a bash completion script for vesk");
    completion->callback(
        [&app, &action] { action = [&app](Output& output) { WriteCompletion(app, output.out); }; });
}

}  // namespace vesk::host
