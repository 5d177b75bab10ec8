#pragma once

#include <string>
#include <vector>

#include "photo_table.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/ui/current_ui.h"
#include "vesk/ui/message_box.h"
#include "vesk/ui/scripted_ui_services.h"

namespace vesk::photo_editor::testing {

using picture::Picture;

// A photo table with the editor dialog over it; message boxes and file dialogs are scripted.
class EditorTest : public photo_store::testing::PhotoTableTest {
protected:
    // Adds a photo row of owner EMP001 in group EMP with a bitmap of width x height pixels.
    void AddPhoto(const std::string& description, bool isDefault = false, int width = 40,
                  int height = 30);
    // Binds the store to the owner and loads the dialog, as EditPhoto does before it shows it.
    frmPhoto& Open(const std::string& group = "EMP", const std::string& code = "EMP001",
                   const std::string& name = "Jane Smith");

    std::vector<std::string> Lines() const;
    std::vector<std::string> Keys() const;

    ui::ScriptedUiServices m_ui;
    ui::ScopedUi m_scopedUi{m_ui};
    frmPhoto m_dialog;
};

// The file bytes of a bitmap of width x height pixels.
data_access::Bytes BitmapBytes(int width, int height);

}  // namespace vesk::photo_editor::testing
