// `vesk components`: registration of the built libraries, the list, and the type description.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "command_registry.h"
#include "components_command.h"
#include "hosting_fixture.h"

namespace vesk::component_hosting::testing {
namespace {

class ComponentsCommand : public HostingTest {
protected:
    int Run(std::vector<std::string> arguments) {
        m_out.str("");
        m_err.str("");
        return host::RunCommandLine(arguments, {m_out, m_err});
    }

    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(ComponentsCommand, RegistersListsDescribesAndUnregisters) {
    ASSERT_EQ(Run({"components", "unregister"}), 0) << m_err.str();
    EXPECT_EQ(Run({"components", "list"}), 0);
    EXPECT_EQ(m_out.str(), "");

    ASSERT_EQ(Run({"components", "register"}), 0) << m_err.str();
    EXPECT_NE(m_out.str().find("Registered VeskDatabaseUtilities 2.1"), std::string::npos);
    ASSERT_EQ(Run({"components", "list"}), 0);
    EXPECT_EQ(m_out.str().find("VeskPhotos.CPicture\t{5AF3317C-741C-4C2D-BCFC-40E7523E8A47}\t"),
              0u);

    ASSERT_EQ(Run({"components", "describe", kPhotoClass}), 0) << m_err.str();
    const std::string text = m_out.str();
    EXPECT_NE(text.find("library VeskPhotos"), std::string::npos);
    EXPECT_NE(text.find("        [id(38)] void Init([in, out] BSTR* strCode, [in, out] BSTR* "
                        "strQualifier, [in, out, optional] BSTR* strQulifierName, [in, out, "
                        "optional] Recordset** rsSource, [in, out, optional] Connection** cnn);\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[default, source] dispinterface __CPicture;"), std::string::npos);

    ASSERT_EQ(Run({"components", "unregister", kLegacyLibrary}), 0);
    ASSERT_EQ(Run({"components", "list"}), 0);
    EXPECT_EQ(m_out.str().find(kLegacyClass), std::string::npos);
    EXPECT_NE(m_out.str().find(kPayClass), std::string::npos);
    EXPECT_EQ(Run({"components", "describe", kLegacyClass}), 1);
    EXPECT_NE(m_err.str().find("No class is registered as " + std::string(kLegacyClass)),
              std::string::npos);
    EXPECT_EQ(Run({"components", "register", m_folder.Path("none.so")}), 1);
}

TEST_F(ComponentsCommand, RegistersTheLibrariesThisProgramUsesWhereAsked) {
    std::vector<std::string> used;
    for (const std::string& path : {kPhotoLibrary, kPayLibrary, kLegacyLibrary}) {
        used.push_back(std::filesystem::canonical(path).string());
    }
    EXPECT_EQ(host::UsedComponentLibraries(), used);

    ASSERT_EQ(Run({"components", "unregister"}), 0) << m_err.str();
    ASSERT_EQ(Run({"components", "register", "--system"}), 0) << m_err.str();
    EXPECT_NE(m_out.str().find("Registered VeskPhotos 1.1 (" + used[0] + ")\n"), std::string::npos)
        << m_out.str();
    const Registry system(m_folder.Path("config") + "/vesk/components.reg");
    ASSERT_TRUE(system.FindProgramId(kLegacyClass));
    EXPECT_EQ(system.FindProgramId(kLegacyClass)->libraryPath, used[2]);
    EXPECT_TRUE(Registry(Registry::DefaultPath()).Classes().empty());
    ASSERT_EQ(Run({"components", "list"}), 0);
    EXPECT_NE(m_out.str().find(kPayClass), std::string::npos);

    ASSERT_EQ(Run({"components", "unregister", "--system"}), 0) << m_err.str();
    EXPECT_TRUE(system.Classes().empty());
    EXPECT_EQ(std::getenv("VESK_REGISTER_SYSTEM_WIDE"), nullptr);
}

}  // namespace
}  // namespace vesk::component_hosting::testing
