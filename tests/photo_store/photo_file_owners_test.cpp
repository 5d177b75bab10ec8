#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "photo_table.h"

namespace vesk::photo_store::testing {
namespace {

namespace fs = std::filesystem;

class PhotoFileOwnersTest : public PhotoTableTest {
protected:
    void SaveNew(const std::string& code, const std::string& description, const Picture& picture) {
        m_store.Init(code, "EMP", {}, nullptr, m_connection);
        m_store.SetPhotoDescription(description);
        m_store.SetPhoto(picture);
        m_listener.events.clear();
        m_store.SavePhotoDetails(true);
    }

    data_access::Bytes FileBytes(const std::string& name) {
        return Picture::Load(PhotosFolderPath() + "/" + name).ToBytes();
    }
};

TEST_F(PhotoFileOwnersTest, ANameAnotherRowMapsToIsRefusedAndKeptWhenOneOfThemIsDeleted) {
    UseFileStorage();
    SaveNew("A_B", "C", PictureOfSize(3000));
    SaveNew("A", "B_C", PictureOfSize(4000));
    ASSERT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
    EXPECT_NE(m_listener.events[0].find("code \"A_B\", description \"C\""), std::string::npos)
        << m_listener.events[0];
    EXPECT_EQ(CountRows("PhotoCode = 'A'"), 0);
    EXPECT_EQ(FileBytes("A_B_C_EMP.vpc"), PictureOfSize(3000).ToBytes());

    AddRow("A", "B_C", "EMP");  // stored before names were checked
    m_store.Init("A", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_store.DeleteRecord();
    EXPECT_EQ(CountRows("PhotoCode = 'A'"), 0);
    EXPECT_EQ(FileBytes("A_B_C_EMP.vpc"), PictureOfSize(3000).ToBytes());
}

TEST_F(PhotoFileOwnersTest, ConversionFollowsTheUmaskCleansLeftoversAndNeverSharesAFile) {
    AddRow("E1", "Été; \"x\"", "EMP", false, PictureOfSize(2000).ToBytes());
    AddRow("A_B", "C", "EMP", false, PictureOfSize(3000).ToBytes());
    AddRow("A", "B_C", "EMP", false, PictureOfSize(4000).ToBytes());
    UseFileStorage();
    std::string leftover = m_folder.Write("photos/A_B_C_EMP.vpc.tmp-Ab12Cd", "x");
    std::string foreign = m_folder.Write("photos/holiday.tmp-Ab12Cd", "mine");
    mode_t previous = ::umask(077);
    bool converted = m_store.ConvertAllToFiles(m_connection);
    ::umask(previous);

    EXPECT_TRUE(converted);
    std::string written = PhotosFolderPath() + "/E1_Été; \"x\"_EMP.vpc";
    EXPECT_EQ(fs::status(written).permissions(), fs::perms(0600));
    EXPECT_FALSE(fs::exists(PhotosFolderPath() + "/A_B_C_EMP.vpc"));
    EXPECT_EQ(CountRows("Photo IS NOT NULL"), 2) << "both rows of one name keep their pictures";
    EXPECT_EQ(m_listener.Named("ErrorDescrption").size(), 2u);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(foreign));
}

}  // namespace
}  // namespace vesk::photo_store::testing
