#include "editor_fixture.h"

#include "picture_files.h"

namespace vesk::photo_editor::testing {

data_access::Bytes BitmapBytes(int width, int height) {
    return vesk::test::QtEncoded(vesk::test::PatternImage(width, height), "bmp");
}

void EditorTest::AddPhoto(const std::string& description, bool isDefault, int width, int height) {
    AddRow("EMP001", description, "EMP", isDefault, BitmapBytes(width, height));
}

frmPhoto& EditorTest::Open(const std::string& group, const std::string& code,
                           const std::string& name) {
    m_store.Init(code, group, name, nullptr, m_connection);
    m_dialog.SetObjcPhoto(&m_store);
    m_dialog.Form_Load();
    return m_dialog;
}

std::vector<std::string> EditorTest::Lines() const {
    std::vector<std::string> lines;
    for (int position = 1; position <= m_dialog.lvwPicDescription->Count(); ++position) {
        lines.push_back(m_dialog.lvwPicDescription->TextAt(position));
    }
    return lines;
}

std::vector<std::string> EditorTest::Keys() const {
    std::vector<std::string> keys;
    for (int position = 1; position <= m_dialog.lvwPicDescription->Count(); ++position) {
        keys.push_back(m_dialog.lvwPicDescription->KeyAt(position));
    }
    return keys;
}

}  // namespace vesk::photo_editor::testing
