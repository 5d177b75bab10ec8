#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "call.h"
#include "interface_shape.h"

namespace vesk::component_hosting {

// The value type of the description for a C++ property type.
template <typename Value>
constexpr ValueType TypeOf() {
    if constexpr (std::is_same_v<Value, std::string>) {
        return kText;
    } else if constexpr (std::is_same_v<Value, bool>) {
        return kBoolean;
    } else if constexpr (std::is_same_v<Value, std::int16_t>) {
        return kInteger;
    } else if constexpr (std::is_same_v<Value, double>) {
        return kDouble;
    } else {
        static_assert(std::is_same_v<Value, std::int32_t> || std::is_enum_v<Value>);
        return kLong;
    }
}

// The dispatch interface of class Self: its shape and, for every slot, the handler that runs
// it on an object. Slots are added in slot order. Self has Target(), the C++ object that the
// member helpers (GetMember, PutAccessor, ...) reach.
template <typename Self>
class DispatchTable {
public:
    using Handler = std::function<void(Self&, Call&)>;

    // An empty table, then `build` adds its slots (the table can be neither copied nor moved).
    DispatchTable(std::string name, const IID& iid,
                  const std::function<void(DispatchTable&)>& build)
        : m_shape(std::move(name), iid) {
        build(*this);
    }

    DispatchTable& Method(std::string name, ValueType result, std::vector<Param> params,
                          Handler handler) {
        m_shape.Add(SlotKind::Method, std::move(name), result, std::move(params));
        return Adding(std::move(handler));
    }
    DispatchTable& Get(std::string name, ValueType type, Handler handler) {
        m_shape.AddProperty(SlotKind::Get, std::move(name), type);
        return Adding(std::move(handler));
    }
    DispatchTable& Put(std::string name, ValueType type, Handler handler) {
        m_shape.AddProperty(SlotKind::Put, std::move(name), type);
        return Adding(std::move(handler));
    }
    DispatchTable& PutRef(std::string name, ValueType type, Handler handler) {
        m_shape.AddProperty(SlotKind::PutRef, std::move(name), type);
        return Adding(std::move(handler));
    }

    // Property accessors over a data member of the target.
    template <typename Target, typename Value>
    DispatchTable& GetMember(std::string name, Value Target::*member) {
        return Get(std::move(name), TypeOf<Value>(),
                   [member](Self& self, Call& call) { call.Return(self.Target().*member); });
    }
    template <typename Target, typename Value>
    DispatchTable& PutMember(std::string name, Value Target::*member) {
        return Put(std::move(name), TypeOf<Value>(), [member](Self& self, Call& call) {
            self.Target().*member = call.Get<Value>(0);
        });
    }
    // Both, get first.
    template <typename Target, typename Value>
    DispatchTable& GetPutMember(std::string name, Value Target::*member) {
        GetMember(name, member);
        return PutMember(std::move(name), member);
    }

    // Property accessors over a getter and a setter of the target.
    template <typename Target, typename Result>
    DispatchTable& GetAccessor(std::string name, Result (Target::*getter)() const) {
        return Get(std::move(name), TypeOf<std::decay_t<Result>>(),
                   [getter](Self& self, Call& call) { call.Return((self.Target().*getter)()); });
    }
    template <typename Target, typename Argument>
    DispatchTable& PutAccessor(std::string name, void (Target::*setter)(Argument)) {
        using Value = std::decay_t<Argument>;
        return Put(std::move(name), TypeOf<Value>(), [setter](Self& self, Call& call) {
            (self.Target().*setter)(call.Get<Value>(0));
        });
    }
    // Both, put first.
    template <typename Target, typename Result, typename Argument>
    DispatchTable& PutGetAccessors(std::string name, void (Target::*setter)(Argument),
                                   Result (Target::*getter)() const) {
        PutAccessor(name, setter);
        return GetAccessor(std::move(name), getter);
    }

    const InterfaceShape& Shape() const { return m_shape; }

    HRESULT Invoke(Self& self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argumentError) const {
        return m_shape.Invoke(
            id, flags, params, result, exception, argumentError,
            [&](std::size_t index, Call& call) { m_handlers[index](self, call); });
    }

private:
    DispatchTable& Adding(Handler handler) {
        m_handlers.push_back(std::move(handler));
        return *this;
    }

    InterfaceShape m_shape;
    std::vector<Handler> m_handlers;  // one per slot of m_shape, in the same order
};

}  // namespace vesk::component_hosting
