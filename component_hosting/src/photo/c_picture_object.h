#pragma once

#include "c_picture_event_bridge.h"
#include "dispatch_table.h"
#include "event_source_object.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::component_hosting {

// A CPicture as a late-bound host sees it: the dispatch interface _CPicture in its slot order
// and the event interface __CPicture (c_picture_table.cpp).
class CPictureObject final : public EventSourceObject<CPictureObject> {
public:
    CPictureObject() { m_picture.Advise(&m_bridge); }
    ~CPictureObject() override { m_picture.Unadvise(&m_bridge); }

    static const DispatchTable<CPictureObject>& Table();
    static const InterfaceShape& EventShape();
    photo_store::CPicture& Target() { return m_picture; }

private:
    photo_store::CPicture m_picture;
    CPictureEventBridge m_bridge{Events()};
};

}  // namespace vesk::component_hosting
