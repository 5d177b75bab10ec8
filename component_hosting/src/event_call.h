#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "connection_point.h"

namespace vesk::component_hosting {

// One event of a C++ object on its way to the sinks of a connection point. Every argument
// goes by reference to a copy of the C++ value; after the sinks have run, what they wrote is
// copied back into the C++ values, which the C++ events receive by reference too.
//
//     EventCall().Arg(position).Arg(total).Fire(Events(), 2);
class EventCall {
public:
    EventCall() = default;
    EventCall(const EventCall&) = delete;
    EventCall& operator=(const EventCall&) = delete;
    ~EventCall();

    EventCall& Arg(std::string& text);
    EventCall& Arg(bool& value);
    EventCall& Arg(std::int32_t& value);
    EventCall& Arg(std::int16_t& value);

    // Delivers event `id` with the arguments in the order added, then copies the values back.
    // Nothing happens when the point has no sinks.
    void Fire(const ConnectionPoint& point, DISPID id);

private:
    using Target = std::variant<std::string*, bool*, std::int32_t*, std::int16_t*>;
    struct Argument {
        Target target;
        VARIANT value;  // owned: a text is freed with the call
    };

    // A new argument of `type` for `target`, its value still to be set.
    VARIANT& Add(Target target, VARTYPE type);
    static VARIANT Reference(Argument& argument);
    static void CopyBack(const Argument& argument);

    std::vector<Argument> m_arguments;
};

}  // namespace vesk::component_hosting
