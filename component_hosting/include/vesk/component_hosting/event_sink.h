#pragma once

#include <functional>
#include <string>

#include "vesk/component_hosting/argument_list.h"
#include "vesk/component_hosting/plain_object.h"
#include "vesk/component_hosting/type_description.h"

namespace vesk::component_hosting {

// Receives one event: its name and its arguments, in the order the event declares them; what
// the handler Sets into a by-reference argument goes back to the object that fired it.
using EventHandler = std::function<void(const std::string& event, const ArgumentList& arguments)>;

// A host's listener for one event interface: an IDispatch whose Invoke calls the handler
// with the name of the event the dispatch identifier stands for.
class EventSink final : public PlainObject<IDispatch> {
public:
    // `events` must outlive the sink (a library's description does: it stays loaded).
    static ComPtr<IDispatch> Make(const InterfaceDescription& events, EventHandler handler);

    HRESULT QueryInterface(REFIID iid, void** object) override;

    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID reserved, OLECHAR** names, UINT count, LCID locale,
                          DISPID* ids) override;
    // DISP_E_MEMBERNOTFOUND for an identifier the event interface does not have;
    // DISP_E_EXCEPTION when the handler throws.
    HRESULT Invoke(DISPID id, REFIID reserved, LCID locale, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    EventSink(const InterfaceDescription& events, EventHandler handler)
        : m_events(events), m_handler(std::move(handler)) {}

    const InterfaceDescription& m_events;
    EventHandler m_handler;
};

}  // namespace vesk::component_hosting
