#pragma once

#include <gtest/gtest.h>

#include <string>

#include "recording_listener.h"
#include "scratch_folder.h"
#include "vesk/data_access/connection.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::photo_store::testing {

// A keyed photo database in a scratch folder with the usual photo table, a CPicture
// configured for it, a listener on it, and a photo folder for file storage.
class PhotoTableTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Adds a row directly (not through the store); `pictureBytes` empty leaves it null.
    void AddRow(const std::string& code, const std::string& description, const std::string& group,
                bool isDefault = false, const data_access::Bytes& pictureBytes = {});
    // Switches the store to file storage in the scratch folder's "photos" subfolder.
    void UseFileStorage();
    // Number of rows of the photo table matching a WHERE clause.
    long CountRows(const std::string& where = "1=1");
    std::string PhotosFolderPath() const { return m_folder.Path("photos"); }

    vesk::test::ScratchFolder m_folder;
    data_access::ConnectionPtr m_connection;
    CPicture m_store;
    RecordingListener m_listener;
};

// A picture whose file form is exactly `bytes` bytes (an enhanced metafile keeps its bytes).
Picture PictureOfSize(std::size_t bytes, int width = 100);

}  // namespace vesk::photo_store::testing
