#pragma once

#include <string>

namespace vesk::files {

// The system's temporary folder with a trailing '/': TMPDIR when set and not empty, else /tmp.
std::string TempFolder();

// Creates a new empty file with a unique name made of `prefix` and six random characters in
// `folder` and returns its path. Throws FileError when the file cannot be created.
std::string CreateTempFile(const std::string& folder, const std::string& prefix);

// A unique path in TempFolder() starting with `prefix`, whose file was created to claim the
// name and then removed, so that no file of that name exists. Throws FileError on failure.
std::string FreshTempName(const std::string& prefix = "Pix");

}  // namespace vesk::files
