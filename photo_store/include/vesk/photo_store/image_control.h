#pragma once

namespace vesk::photo_store {

// The properties of an image control that CPicture::ResizePhoto reads and writes. Geometry is
// in the scale units of the control's container. Turning Stretch off makes the control take
// the natural size of its picture.
class ImageControl {
public:
    virtual ~ImageControl() = default;

    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Stretch() const = 0;
    virtual void SetStretch(bool stretch) = 0;
    virtual double Width() const = 0;
    virtual void SetWidth(double width) = 0;
    virtual double Height() const = 0;
    virtual void SetHeight(double height) = 0;
    virtual double Left() const = 0;
    virtual void SetLeft(double left) = 0;
    virtual double Top() const = 0;
    virtual void SetTop(double top) = 0;
    virtual int BorderStyle() const = 0;
    virtual void SetBorderStyle(int style) = 0;
};

}  // namespace vesk::photo_store
