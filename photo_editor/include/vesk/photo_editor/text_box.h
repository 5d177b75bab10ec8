#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

#include <string>
#include <type_traits>

namespace vesk::photo_editor {

// A text box over a Qt editor (QLineEdit or QPlainTextEdit) with the Locked state and the
// OLE background colour the dialog switches between. The editor's textChanged signal is its
// Change notification; it fires also when the program sets the text.
template <typename Editor>
class TextBox : public Editor {
public:
    using Editor::Editor;

    std::string Text() const {
        if constexpr (std::is_same_v<Editor, QLineEdit>) {
            return this->text().toStdString();
        } else {
            return this->toPlainText().toStdString();
        }
    }
    void SetText(const std::string& text) {
        if constexpr (std::is_same_v<Editor, QLineEdit>) {
            this->setText(QString::fromStdString(text));
        } else {
            this->setPlainText(QString::fromStdString(text));
        }
    }

    bool Locked() const { return this->isReadOnly(); }
    void SetLocked(bool locked) { this->setReadOnly(locked); }

    long BackColor() const { return m_backColor; }
    // Takes an OLE colour (see ColorFromOle).
    void SetBackColor(long color);

private:
    long m_backColor = 0x80000005;
};

using SingleLineTextBox = TextBox<QLineEdit>;
using MultiLineTextBox = TextBox<QPlainTextEdit>;

}  // namespace vesk::photo_editor
