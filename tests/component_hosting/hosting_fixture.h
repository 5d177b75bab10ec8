#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "scoped_environment.h"
#include "scratch_folder.h"
#include "vesk/component_hosting/late_bound_object.h"

namespace vesk::component_hosting::testing {

// The built component libraries.
inline const std::string kPhotoLibrary = VESK_PHOTO_LIBRARY;
inline const std::string kPayLibrary = VESK_PAY_DB_LIBRARY;
inline const std::string kLegacyLibrary = VESK_LEGACY_DB_LIBRARY;

inline constexpr const char* kPhotoClass = "VeskPhotos.CPicture";
inline constexpr const char* kPayClass = "VeskPayDBUtilities.DatabaseUtilities";
inline constexpr const char* kLegacyClass = "VeskDatabaseUtilities.DatabaseUtilities";

// A host with registries of its own: XDG_DATA_HOME (the user's registry, where the three
// libraries are registered) and XDG_CONFIG_DIRS (the system-wide one) point into a fresh
// scratch folder; databases are made in the same folder.
class HostingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the embedded database `name` (keyed with `password`), runs `statements` on it
    // and returns its connection text.
    std::string MakeDatabase(const std::string& name, const std::string& password,
                             const std::vector<std::string>& statements);
    // The number of rows of `sql` ("SELECT count(*) ...") in the database of `connectionText`.
    long Count(const std::string& connectionText, const std::string& sql);

    test::ScratchFolder m_folder;

private:
    std::optional<host::ScopedEnvironment> m_dataHome;
    std::optional<host::ScopedEnvironment> m_configDirs;
};

// Records the events of an object as "Name(arg,arg)" lines, and lets a test answer them.
class EventRecorder {
public:
    // Runs inside each event, after it is recorded, to write into its arguments.
    std::function<void(const std::string& event, const ArgumentList& arguments)> answer;
    std::vector<std::string> events;

    EventHandler Handler();
    // The recorded events named `name`.
    std::vector<std::string> Named(const std::string& name) const;
};

}  // namespace vesk::component_hosting::testing
