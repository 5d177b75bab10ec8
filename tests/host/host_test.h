#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "command_registry.h"
#include "scratch_folder.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::host {

// Runs `vesk` commands in-process with their output captured, in a fresh scratch folder.
class HostTest : public ::testing::Test {
protected:
    // Creates a database file `name` in the folder (keyed with `password`), runs `statements`
    // on it and returns its path.
    std::string MakeDatabase(const std::string& name, const std::string& password,
                             const std::vector<std::string>& statements = {}) {
        data_access::Catalog catalog;
        auto connection =
            catalog.Create(data_access::EmbeddedConnectionText(m_folder.Path(name), password));
        for (const std::string& statement : statements) {
            connection->Execute(statement);
        }
        return m_folder.Path(name);
    }

    // Runs the command line and returns its exit status; m_out and m_err hold what it printed.
    int Run(std::vector<std::string> arguments) {
        m_out.str("");
        m_err.str("");
        return RunCommandLine(arguments, {m_out, m_err});
    }

    test::ScratchFolder m_folder;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

}  // namespace vesk::host
