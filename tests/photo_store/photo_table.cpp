#include <gtest/gtest.h>

#include "photo_table.h"

#include <filesystem>

#include "picture_files.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"
#include "vesk/photo_store/photo_table.h"

namespace vesk::photo_store::testing {

void PhotoTableTest::SetUp() {
    data_access::Catalog catalog;
    m_connection =
        catalog.Create(data_access::EmbeddedConnectionText(m_folder.Path("pay.mdb"), "pw"));
    CreatePhotoTable(m_connection);
    UsePhotoTable(m_store);
    m_store.Advise(&m_listener);
}

void PhotoTableTest::AddRow(const std::string& code, const std::string& description,
                            const std::string& group, bool isDefault,
                            const data_access::Bytes& pictureBytes) {
    data_access::Recordset rows;
    rows.Open("SELECT * FROM Photos", m_connection, data_access::adOpenKeyset,
              data_access::adLockOptimistic);
    rows.AddNew();
    rows.Fields()["PhotoCode"].SetValue(code);
    rows.Fields()["PhotoDescription"].SetValue(description);
    rows.Fields()["PhotoGroup"].SetValue(group);
    rows.Fields()["DefaultPhoto"].SetValue(isDefault);
    rows.Fields()["PhotoComments"].SetValue("about " + description);
    if (!pictureBytes.empty()) {
        rows.Fields()["Photo"].AppendChunk(pictureBytes);
    }
    rows.Update();
}

void PhotoTableTest::UseFileStorage() {
    std::filesystem::create_directory(PhotosFolderPath());
    m_store.SaveAsFile = true;
    m_store.PhotosFolder = PhotosFolderPath();
}

long PhotoTableTest::CountRows(const std::string& where) {
    data_access::Recordset rows;
    rows.Open("SELECT count(*) FROM Photos WHERE " + where, m_connection, data_access::adOpenStatic,
              data_access::adLockReadOnly);
    return static_cast<long>(rows.Fields().Item(0L).Value().ToInt64());
}

Picture PictureOfSize(std::size_t bytes, int width) {
    return Picture::FromBytes(vesk::test::Emf(width, 100, bytes));
}

}  // namespace vesk::photo_store::testing
