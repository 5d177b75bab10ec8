#pragma once

#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace vesk::host {

// Where a command takes one database's password from, so that it need not stand on the
// command line: the option itself (`--password PW`), a file (`--password-file F`), a prompt
// on the terminal without echo (`--password-prompt`), or an environment variable. The three
// options exclude each other; the variable is read only when none of them is given.
class PasswordInput {
public:
    PasswordInput() = default;
    // A password known already (the options are not read).
    explicit PasswordInput(std::string password);

    // Adds `--NAME`, `--NAME-file` and `--NAME-prompt` (NAME is "password", "to-password",
    // ...) to `command`, naming `variable` as the environment's source. `what` names the
    // database in the help and in the prompt ("the source's", "the database's"). Returns the
    // three options, for the command's own exclusions.
    std::vector<CLI::Option*> AddTo(CLI::App& command, const std::string& name,
                                    std::string variable, const std::string& what);

    // The password, exactly as given (blanks kept); a file gives its first line without the
    // line end. Empty when no source gives one. Reads the file or asks once, on first use.
    // Throws Error when the file cannot be read or there is no terminal to ask.
    const std::string& Value() const;

private:
    std::string Resolve() const;

    std::optional<std::string> m_given;
    std::string m_file;
    bool m_prompt = false;
    std::string m_variable;
    std::string m_what;
    mutable std::optional<std::string> m_value;
};

// The first line of the password file `path`, without its line end ("\n" or "\r\n"); every
// other character kept. Throws Error naming the file when it cannot be read.
std::string ReadPasswordFile(const std::string& path);

// Asks for a password on the controlling terminal with echo off, saying `prompt`. Throws
// Error when the process has no terminal.
std::string AskPasswordOnTerminal(const std::string& prompt);

}  // namespace vesk::host
