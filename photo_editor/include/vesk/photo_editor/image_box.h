#pragma once

#include <QWidget>

#include "vesk/photo_store/image_control.h"
#include "vesk/picture/picture.h"

namespace vesk::photo_editor {

class PictureBox;

// An image control inside a PictureBox. Position and size are read and written in the box's
// current scale and kept as single-precision twips, as given (not rounded to pixels). With
// Stretch on the picture is scaled to the control's size; with Stretch off the control takes
// the picture's natural size (0 x 0 for no picture) and shows it unscaled.
class ImageBox : public QWidget, public photo_store::ImageControl {
public:
    explicit ImageBox(PictureBox& container);

    const picture::Picture& Picture() const { return m_picture; }
    void SetPicture(const picture::Picture& picture);

    bool Visible() const override { return m_visible; }
    void SetVisible(bool visible) override;
    bool Stretch() const override { return m_stretch; }
    void SetStretch(bool stretch) override;
    double Width() const override;
    void SetWidth(double width) override;
    double Height() const override;
    void SetHeight(double height) override;
    double Left() const override;
    void SetLeft(double left) override;
    double Top() const override;
    void SetTop(double top) override;
    int BorderStyle() const override { return m_borderStyle; }
    void SetBorderStyle(int style) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void TakeNaturalSize();
    double ToTwips(double value) const;
    double FromTwips(float twips) const;
    void UpdateGeometry();

    PictureBox& m_container;
    picture::Picture m_picture;
    bool m_visible = true;
    bool m_stretch = false;
    int m_borderStyle = 0;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
};

}  // namespace vesk::photo_editor
