#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "scratch_folder.h"
#include "vesk/data_access/catalog.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/database_utilities/legacy_database_utilities.h"
#include "vesk/ui/current_ui.h"
#include "vesk/ui/scripted_ui_services.h"

namespace vesk::database_utilities::testing {

using ui::RecordedMessageBox;

// The two builds of the utilities: DatabaseUtilities and legacy::DatabaseUtilities.
enum class Build { Current, Legacy };

// A new object of `build`.
std::unique_ptr<DatabaseUtilities> MakeUtilities(Build build);

// Each build once, for INSTANTIATE_TEST_SUITE_P(Builds, Suite, kBothBuilds, BuildName).
inline const auto kBothBuilds = ::testing::Values(Build::Current, Build::Legacy);
std::string BuildName(const ::testing::TestParamInfo<Build>& info);

// Records every notification as a line of text, in order: "Progress(T,3,2,1,1)".
class RecordingListener : public DatabaseUtilitiesEvents {
public:
    std::vector<std::string> events;
    // Runs inside each Progress, as a host's handler would.
    std::function<void(std::string&)> onProgress;

    void ProcessDone(std::int16_t& TablesCreates, std::int16_t& FieldsCreated) override;
    void Progress(std::string& TableName, std::int16_t& TotalTables, std::int16_t& TotalFields,
                  std::int16_t& FieldNo, std::int16_t& TableNo) override;
    void DatabaseCreated() override { events.push_back("DatabaseCreated()"); }
};

// A DatabaseUtilities with a recording listener, its statements traced, and scripted UI
// services, over database files in a fresh folder.
class UtilitiesTest : public ::testing::Test {
protected:
    explicit UtilitiesTest(Build build = Build::Current);

    // Creates the database `name` with `password`, runs `statements` on it and returns a
    // connection open on it whose connection text carries the password.
    data_access::ConnectionPtr MakeDatabase(const std::string& name, const std::string& password,
                                            const std::vector<std::string>& statements);
    // A template `template.mdb` (password "tpw") holding `statements`, set on the object.
    void MakeTemplate(const std::vector<std::string>& statements);
    // A main database `main.mdb` holding `statements`, set as MainFileConnection.
    data_access::ConnectionPtr MakeMain(const std::vector<std::string>& statements);
    // The events recorded whose name is `name`.
    std::vector<std::string> Events(const std::string& name) const;
    // Compacts through the build's own CompactDatabase. The legacy one takes no password: a
    // password for a legacy object goes through the current build's form, which it inherits.
    bool Compact(const std::string& path, std::string& tempFolder, const std::string& password);
    // `current` for the current build, `legacy` for the legacy one: an expectation on the
    // same input, side by side.
    template <typename T>
    const T& ForBuild(const T& current, const T& legacy) const {
        return m_build == Build::Legacy ? legacy : current;
    }

    const Build m_build;
    test::ScratchFolder m_folder;
    ui::ScriptedUiServices m_ui;
    ui::ScopedUi m_scopedUi{m_ui};
    std::unique_ptr<DatabaseUtilities> m_object;
    DatabaseUtilities& m_utilities;  // *m_object
    RecordingListener m_listener;
    std::vector<std::string> m_statements;  // the statements the object ran
};

// A UtilitiesTest over the build of the test's parameter: TEST_P bodies run for both builds.
class BuildTest : public UtilitiesTest, public ::testing::WithParamInterface<Build> {
protected:
    BuildTest() : UtilitiesTest(GetParam()) {}
};

}  // namespace vesk::database_utilities::testing
