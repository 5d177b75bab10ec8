#include "password_input.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fmt/format.h>
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

std::string WithoutLineEnd(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

// The terminal's settings put back when the object goes, whatever happened while asking.
class EchoOff {
public:
    explicit EchoOff(int terminal) : m_terminal(terminal) {
        m_saved = ::tcgetattr(terminal, &m_settings) == 0;
        if (m_saved) {
            termios quiet = m_settings;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            ::tcsetattr(terminal, TCSANOW, &quiet);
        }
    }
    ~EchoOff() {
        if (m_saved) {
            ::tcsetattr(m_terminal, TCSANOW, &m_settings);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int m_terminal;
    termios m_settings{};
    bool m_saved = false;
};

void WriteAll(int terminal, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t count = ::write(terminal, text.data() + written, text.size() - written);
        if (count <= 0) {
            return;
        }
        written += static_cast<std::size_t>(count);
    }
}

std::string ReadLine(int terminal) {
    std::string line;
    char c = 0;
    while (::read(terminal, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return WithoutLineEnd(std::move(line));
}

}  // namespace

PasswordInput::PasswordInput(std::string password) : m_given(std::move(password)) {}

std::vector<CLI::Option*> PasswordInput::AddTo(CLI::App& command, const std::string& name,
                                               std::string variable, const std::string& what) {
    m_variable = std::move(variable);
    m_what = what;
    CLI::Option* given = command.add_option_function<std::string>(
        "--" + name, [this](const std::string& value) { m_given = value; },
        fmt::format("{} password (else ${})", what, m_variable));
    CLI::Option* file = command.add_option("--" + name + "-file", m_file,
                                           fmt::format("read {} password from this file", what));
    CLI::Option* prompt = command.add_flag("--" + name + "-prompt", m_prompt,
                                           fmt::format("ask for {} password", what));
    file->excludes(given);
    prompt->excludes(given)->excludes(file);
    return {given, file, prompt};
}

const std::string& PasswordInput::Value() const {
    if (!m_value) {
        m_value = Resolve();
    }
    return *m_value;
}

std::string PasswordInput::Resolve() const {
    if (m_given) {
        return *m_given;
    }
    if (!m_file.empty()) {
        return ReadPasswordFile(m_file);
    }
    if (m_prompt) {
        return AskPasswordOnTerminal(fmt::format("Enter {} password: ", m_what));
    }
    const char* fromEnvironment = m_variable.empty() ? nullptr : std::getenv(m_variable.c_str());
    return fromEnvironment == nullptr ? std::string() : std::string(fromEnvironment);
}

std::string ReadPasswordFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw Error(
            fmt::format("cannot read the password file {}: {}", path, std::strerror(errno)));
    }
    std::string line;
    std::getline(file, line);
    if (file.bad()) {
        throw Error(fmt::format("cannot read the password file {}", path));
    }
    return WithoutLineEnd(std::move(line));
}

std::string AskPasswordOnTerminal(const std::string& prompt) {
    int terminal = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) {
        throw Error(
            "cannot ask for the password: there is no terminal (use a password file or the "
            "environment instead)");
    }
    std::string password;
    {
        EchoOff quiet(terminal);
        WriteAll(terminal, prompt);
        password = ReadLine(terminal);
    }
    WriteAll(terminal, "\n");
    ::close(terminal);
    return password;
}

}  // namespace vesk::host
