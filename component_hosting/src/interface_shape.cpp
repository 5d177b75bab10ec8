#include "interface_shape.h"

#include <algorithm>
#include <cctype>

#include "call.h"
#include "vesk/component_hosting/text_conversion.h"
#include "vesk/data_access/letter_case.h"

namespace vesk::component_hosting {

namespace {

bool SameName(std::string_view left, std::string_view right) {
    return data_access::SameIgnoringCase(left, right);
}

bool IsPut(SlotKind kind) {
    return kind == SlotKind::Put || kind == SlotKind::PutRef;
}

// Only a property put names an argument, its value, as DISPID_PROPERTYPUT.
bool NamedArgumentsAllowed(const Slot& slot, const DISPPARAMS& params) {
    if (params.cNamedArgs == 0) {
        return true;
    }
    return IsPut(slot.kind) && params.cNamedArgs == 1 && params.rgdispidNamedArgs != nullptr &&
           params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
}

// Fills `exception` (when given) with a failure of the call itself.
HRESULT RaiseException(EXCEPINFO* exception, const std::string& source, const char* description) {
    if (exception != nullptr) {
        FreeExcepInfo(exception);
        try {
            exception->bstrSource = AllocText(source);
            exception->bstrDescription = AllocText(description);
        } catch (const std::bad_alloc&) {
            // The code alone still tells the host that the call failed.
        }
        exception->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

struct InterfaceShape::PlainDescription {
    std::vector<std::vector<ParameterDescription>> parameters;  // per slot
    std::vector<MemberDescription> members;
    InterfaceDescription description{};
};

InterfaceShape::InterfaceShape(std::string name, const IID& iid,
                               const std::function<void(InterfaceShape&)>& build)
    : m_name(std::move(name)), m_iid(iid) {
    if (build) {
        build(*this);
    }
}

InterfaceShape::~InterfaceShape() = default;

std::size_t InterfaceShape::Add(SlotKind kind, std::string name, ValueType result,
                                std::vector<Param> params) {
    DISPID id = IdOfName(name);
    if (id == DISPID_UNKNOWN) {
        id = ++m_lastId;
    }
    m_slots.push_back({kind, std::move(name), id, result, std::move(params)});
    return m_slots.size() - 1;
}

std::size_t InterfaceShape::AddProperty(SlotKind kind, std::string name, ValueType type) {
    if (kind == SlotKind::Get) {
        return Add(kind, std::move(name), type, {});
    }
    return Add(kind, std::move(name), kVoid, {{"value", type}});
}

std::size_t InterfaceShape::AddEvent(std::string name, std::vector<Param> params) {
    for (Param& param : params) {
        param.flags = ByRef;
    }
    return Add(SlotKind::Method, std::move(name), kVoid, std::move(params));
}

DISPID InterfaceShape::IdOfName(const std::string& name) const {
    for (const Slot& slot : m_slots) {
        if (SameName(slot.name, name)) {
            return slot.id;
        }
    }
    return DISPID_UNKNOWN;
}

const Slot* InterfaceShape::FindSlot(DISPID id, SlotKind kind) const {
    for (const Slot& slot : m_slots) {
        if (slot.id == id && slot.kind == kind) {
            return &slot;
        }
    }
    return nullptr;
}

HRESULT InterfaceShape::GetIDsOfNames(OLECHAR** names, UINT count, DISPID* ids) const {
    if ((names == nullptr || ids == nullptr) && count > 0) {
        return E_POINTER;
    }
    if (count == 0) {
        return S_OK;
    }
    ids[0] = IdOfName(TextOfTerminated(names[0]));
    // Parameter names are looked up in the member's slot with the most parameters.
    const Slot* member = nullptr;
    for (const Slot& slot : m_slots) {
        if (slot.id == ids[0] &&
            (member == nullptr || slot.params.size() > member->params.size())) {
            member = &slot;
        }
    }
    bool allKnown = member != nullptr;
    for (UINT name_idx = 1; name_idx < count; ++name_idx) {
        ids[name_idx] = DISPID_UNKNOWN;
        const std::string name = TextOfTerminated(names[name_idx]);
        for (std::size_t param_idx = 0; member != nullptr && param_idx < member->params.size();
             ++param_idx) {
            if (SameName(member->params[param_idx].name, name)) {
                ids[name_idx] = static_cast<DISPID>(param_idx);
            }
        }
        allKnown = allKnown && ids[name_idx] != DISPID_UNKNOWN;
    }
    return allKnown ? S_OK : DISP_E_UNKNOWNNAME;
}

// A put reaches a put of either kind (the exact one first); a method call also reaches a
// property get, and a get also a method, as late-bound hosts expect.
HRESULT InterfaceShape::Select(DISPID id, WORD flags, std::size_t& index) const {
    std::vector<SlotKind> wanted;
    if ((flags & DISPATCH_PROPERTYPUTREF) != 0) {
        wanted = {SlotKind::PutRef, SlotKind::Put};
    } else if ((flags & DISPATCH_PROPERTYPUT) != 0) {
        wanted = {SlotKind::Put, SlotKind::PutRef};
    } else if ((flags & DISPATCH_METHOD) != 0) {
        wanted = {SlotKind::Method, SlotKind::Get};
    } else if ((flags & DISPATCH_PROPERTYGET) != 0) {
        wanted = {SlotKind::Get, SlotKind::Method};
    }
    for (SlotKind kind : wanted) {
        if (const Slot* slot = FindSlot(id, kind)) {
            index = static_cast<std::size_t>(slot - m_slots.data());
            return S_OK;
        }
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT InterfaceShape::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argumentError,
                               const SlotRunner& run) const {
    static const DISPPARAMS kNoArguments{nullptr, nullptr, 0, 0};
    const DISPPARAMS& arguments = params != nullptr ? *params : kNoArguments;
    if (result != nullptr) {
        VariantInit(result);
    }
    std::size_t index = 0;
    if (HRESULT selected = Select(id, flags, index); Failed(selected)) {
        return selected;
    }
    const Slot& slot = m_slots[index];
    if (!NamedArgumentsAllowed(slot, arguments)) {
        return DISP_E_NONAMEDARGS;
    }
    Call call(slot, arguments, result);
    UINT wrongArgument = 0;
    if (HRESULT checked = call.Check(wrongArgument); Failed(checked)) {
        if (argumentError != nullptr) {
            *argumentError = wrongArgument;
        }
        return checked;
    }
    try {
        run(index, call);
        call.WriteBack();
        return S_OK;
    } catch (const ArgumentError& error) {
        if (argumentError != nullptr) {
            *argumentError = call.Arguments().RawIndex(error.argument);
        }
        if (result != nullptr) {
            VariantClear(result);
        }
        return error.code;
    } catch (const std::exception& error) {
        return RaiseException(exception, m_name, error.what());
    } catch (...) {
        return RaiseException(exception, m_name, "The operation failed");
    }
}

const InterfaceDescription& InterfaceShape::Description() const {
    std::call_once(m_described, [this] {
        auto plain = std::make_unique<PlainDescription>();
        for (const Slot& slot : m_slots) {
            std::vector<ParameterDescription>& described = plain->parameters.emplace_back();
            for (const Param& param : slot.params) {
                described.push_back(
                    {param.name.c_str(),
                     static_cast<VARTYPE>(param.type.vt | (param.IsByRef() ? VT_BYREF : 0)),
                     param.IsOptional() ? PARAMFLAG_FOPT : PARAMFLAG_NONE, param.type.name});
            }
        }
        for (std::size_t slot_idx = 0; slot_idx < m_slots.size(); ++slot_idx) {
            const Slot& slot = m_slots[slot_idx];
            plain->members.push_back(
                {slot.name.c_str(), slot.id, static_cast<std::uint16_t>(slot.kind), slot.result.vt,
                 slot.result.name, static_cast<std::uint32_t>(slot.params.size()),
                 plain->parameters[slot_idx].data()});
        }
        plain->description = {m_name.c_str(), m_iid,
                              static_cast<std::uint32_t>(plain->members.size()),
                              plain->members.data()};
        m_description = std::move(plain);
    });
    return m_description->description;
}

}  // namespace vesk::component_hosting
