#include "vesk/photo_editor/common_dialog.h"

#include "vesk/ui/current_ui.h"

namespace vesk::photo_editor {

void CommonDialog::ShowOpen() {
    ui::OpenFileResult chosen = ui::Ui().OpenFile(Flags, Filter);
    FileName = std::move(chosen.path);
    FileTitle = std::move(chosen.fileTitle);
}

}  // namespace vesk::photo_editor
