#pragma once

// The titles and fixed texts of the message boxes the database utilities show. Hosts and
// their users know these texts, so they are kept letter for letter.
namespace vesk::database_utilities::messages {

// The title of a box the utilities show without a title of their own. Passed explicitly:
// the UI services' application title belongs to the whole process.
inline constexpr const char* kDefaultTitle = "Vesk Database Utilities";

inline constexpr const char* kTemplateNotFound = "Template file not found";
inline constexpr const char* kConnectionErrorTitle = "Connection Error";
inline constexpr const char* kCannotFixFields =
    "Cannot fix table fields because database connections could not be made.";
inline constexpr const char* kFixFieldsErrorTitle = "Fix Fields Error";
inline constexpr const char* kCreateErrorTitle = "Error Creating Database";
inline constexpr const char* kCompactErrorTitle = "Error Compacting Database";
inline constexpr const char* kRepairFileNotFound = "Database file not found to repair";
inline constexpr const char* kFileNotFoundTitle = "File Not Found";
inline constexpr const char* kRepairErrorTitle = "Error Repairing Database";

// Message box flags: OK only, exclamation and information icons.
inline constexpr int kOkOnly = 0;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;

}  // namespace vesk::database_utilities::messages
