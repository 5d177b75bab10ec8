#include "vesk/photo_editor/text_box.h"

#include "vesk/photo_editor/twips.h"

namespace vesk::photo_editor {

template <typename Editor>
void TextBox<Editor>::SetBackColor(long color) {
    m_backColor = color;
    QPalette colours = this->palette();
    colours.setColor(QPalette::Base, ColorFromOle(color));
    this->setPalette(colours);
}

template class TextBox<QLineEdit>;
template class TextBox<QPlainTextEdit>;

}  // namespace vesk::photo_editor
