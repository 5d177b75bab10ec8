#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"

namespace vesk::data::testing {

// A fresh folder for each test, removed afterwards, with helpers for database files in it.
class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }
    // Creates a new database file and returns a connection open on it.
    ConnectionPtr CreateDatabase(const std::string& name, const std::string& password = {});
    ConnectionPtr OpenDatabase(const std::string& name, const std::string& password = {});
    // Opens `sql` the way the components do: keyset cursor, optimistic locks.
    RecordsetPtr OpenRows(const ConnectionPtr& connection, const std::string& sql);
    // The first column of the first row of `sql`, as text.
    std::string Scalar(const ConnectionPtr& connection, const std::string& sql);

private:
    std::filesystem::path m_folder;
};

}  // namespace vesk::data::testing
