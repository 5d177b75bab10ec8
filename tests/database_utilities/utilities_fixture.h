#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scratch_folder.h"
#include "vesk/data_access/catalog.h"
#include "vesk/dbutil/database_utilities.h"
#include "vesk/ui/current_ui.h"
#include "vesk/ui/scripted_ui_services.h"

namespace vesk::dbutil::testing {

using platform::RecordedMessageBox;

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
    UtilitiesTest();

    // Creates the database `name` with `password`, runs `statements` on it and returns a
    // connection open on it whose connection text carries the password.
    data::ConnectionPtr MakeDatabase(const std::string& name, const std::string& password,
                                     const std::vector<std::string>& statements);
    // A template `template.mdb` (password "tpw") holding `statements`, set on the object.
    void MakeTemplate(const std::vector<std::string>& statements);
    // A main database `main.mdb` holding `statements`, set as MainFileConnection.
    data::ConnectionPtr MakeMain(const std::vector<std::string>& statements);
    // The events recorded whose name is `name`.
    std::vector<std::string> Events(const std::string& name) const;

    test::ScratchFolder m_folder;
    platform::ScriptedUiServices m_ui;
    platform::ScopedUi m_scopedUi{m_ui};
    DatabaseUtilities m_utilities;
    RecordingListener m_listener;
    std::vector<std::string> m_statements;  // the statements the object ran
};

}  // namespace vesk::dbutil::testing
