#pragma once

#include <string>

// Temporary files that an operation makes beside its work and recognises again by name.
namespace vesk::database_utilities::detail {

// A temporary file this process made: created exclusively under the unique name `stem` + "-"
// + six random letters or digits + `extension`, locked while it lives so that no other run
// takes it for a leftover, and removed when it goes unless released.
class OwnTemporaryFile {
public:
    // Creates the file (mode 0600). Throws files::FileError when it cannot be made.
    OwnTemporaryFile(const std::string& stem, const std::string& extension);
    ~OwnTemporaryFile();
    OwnTemporaryFile(const OwnTemporaryFile&) = delete;
    OwnTemporaryFile& operator=(const OwnTemporaryFile&) = delete;

    const std::string& Path() const { return m_path; }

    // Gives the file up without removing it: it has been renamed into a place of its own.
    void Release();

    // Removes every file that a killed run left under the pattern: named exactly `stem` + "-"
    // + six letters or digits + `extension`, a regular file (not a link), owned by this user
    // and locked by no live run. Returns how many were removed; other files stay untouched.
    static int RemoveLeftovers(const std::string& stem, const std::string& extension);

private:
    std::string m_path;
    int m_descriptor = -1;
};

}  // namespace vesk::database_utilities::detail
