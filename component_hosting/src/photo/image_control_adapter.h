#pragma once

#include "vesk/component_hosting/late_bound_object.h"
#include "vesk/photo_store/image_control.h"

namespace vesk::component_hosting {

// A host's image control, reached by late binding, as the ImageControl that
// CPicture::ResizePhoto works on: each property is read or written through the control's
// IDispatch by name (Visible, Stretch, Width, Height, Left, Top, BorderStyle). A failure of
// the control is thrown as ComError.
class ImageControlAdapter final : public photo_store::ImageControl {
public:
    explicit ImageControlAdapter(ComPtr<IDispatch> control) : m_control(std::move(control)) {}

    bool Visible() const override { return m_control.Get("Visible").ToBool(); }
    void SetVisible(bool visible) override { m_control.Put("Visible", visible); }
    bool Stretch() const override { return m_control.Get("Stretch").ToBool(); }
    void SetStretch(bool stretch) override { m_control.Put("Stretch", stretch); }
    double Width() const override { return m_control.Get("Width").ToDouble(); }
    void SetWidth(double width) override { m_control.Put("Width", width); }
    double Height() const override { return m_control.Get("Height").ToDouble(); }
    void SetHeight(double height) override { m_control.Put("Height", height); }
    double Left() const override { return m_control.Get("Left").ToDouble(); }
    void SetLeft(double left) override { m_control.Put("Left", left); }
    double Top() const override { return m_control.Get("Top").ToDouble(); }
    void SetTop(double top) override { m_control.Put("Top", top); }
    int BorderStyle() const override { return m_control.Get("BorderStyle").ToInt32(); }
    void SetBorderStyle(int style) override {
        m_control.Put("BorderStyle", static_cast<std::int32_t>(style));
    }

private:
    LateBoundObject m_control;
};

}  // namespace vesk::component_hosting
