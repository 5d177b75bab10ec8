#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <type_traits>
#include <variant>

#include "interface_shape.h"
#include "vesk/component_hosting/argument_list.h"
#include "vesk/component_hosting/com_ptr.h"

namespace vesk::component_hosting {

// An argument the handler of a call cannot use: the call fails with `code`, naming argument
// `argument` (in declaration order).
struct ArgumentError {
    HRESULT code;
    std::size_t argument;
};

// One Invoke of a slot as its handler sees it: the arguments in declaration order as C++
// values, storage for by-reference arguments that is written back after the handler returns,
// and the result. A left-out optional argument reads as the empty text, false, 0 or no object.
class Call {
public:
    Call(const Slot& slot, const DISPPARAMS& params, VARIANT* result);
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    // Checks the arguments against the slot: their number (DISP_E_BADPARAMCOUNT), a left-out
    // argument that is not optional (DISP_E_PARAMNOTOPTIONAL), a value of another type
    // (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW). S_OK, or the code with the argument's position
    // in rgvarg in `argumentError`.
    HRESULT Check(UINT& argumentError) const;

    const ArgumentList& Arguments() const { return m_arguments; }
    const Slot& Target() const { return m_slot; }
    bool IsMissing(std::size_t index) const { return m_arguments.IsMissing(index); }

    // The argument as a C++ value, converted as ChangeType does; throws ArgumentError when it
    // cannot be (which Check has ruled out for the declared types).
    std::string Text(std::size_t index) const;
    bool Boolean(std::size_t index) const;
    std::int16_t Integer(std::size_t index) const;
    std::int32_t Long(std::size_t index) const;
    double Double(std::size_t index) const;
    // The object given (borrowed for the call); null for no object. Throws ArgumentError
    // (DISP_E_TYPEMISMATCH) for a value that is no object.
    IDispatch* Object(std::size_t index) const;

    // The argument as the C++ type of a property (text, Boolean, 16- or 32-bit, double, enum).
    template <typename Value>
    Value Get(std::size_t index) const {
        if constexpr (std::is_same_v<Value, std::string>) {
            return Text(index);
        } else if constexpr (std::is_same_v<Value, bool>) {
            return Boolean(index);
        } else if constexpr (std::is_same_v<Value, std::int16_t>) {
            return Integer(index);
        } else if constexpr (std::is_same_v<Value, double>) {
            return Double(index);
        } else {
            return static_cast<Value>(Long(index));
        }
    }

    // Storage initialised with the argument's value, written back into it after the handler
    // when it was given by reference.
    std::string& TextRef(std::size_t index);
    bool& BooleanRef(std::size_t index);
    double& DoubleRef(std::size_t index);
    // The same for an optional argument: null when it was left out.
    bool* OptionalBooleanRef(std::size_t index);
    double* OptionalDoubleRef(std::size_t index);

    // Sets the call's result (nothing when the caller asked for none).
    void Return(bool value);
    void Return(std::int16_t value);
    void Return(std::int32_t value);
    void Return(double value);
    void Return(const std::string& value);
    // Takes the object's reference (null: no object).
    void Return(ComPtr<IDispatch> object);
    void Return(const Variant& value);
    template <typename Value>
    requires std::is_enum_v<Value>
    void Return(Value value) { Return(static_cast<std::int32_t>(value)); }

    // Writes the by-reference storage back into the arguments given by reference.
    void WriteBack();

private:
    struct Stored {
        std::size_t index;
        std::variant<std::string, bool, double> value;
    };

    Variant Converted(std::size_t index, VARTYPE type) const;
    HRESULT CheckValue(std::size_t index) const;
    template <typename Value>
    Value& Store(std::size_t index, Value value);

    const Slot& m_slot;
    ArgumentList m_arguments;
    VARIANT* m_result;
    std::deque<Stored> m_stored;  // a deque: references to its elements stay valid
    mutable std::deque<ComPtr<IDispatch>> m_objects;  // objects given as IUnknown, as IDispatch
};

}  // namespace vesk::component_hosting
