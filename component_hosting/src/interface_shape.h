#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vesk/component_hosting/dispatch_types.h"
#include "vesk/component_hosting/type_description.h"

namespace vesk::component_hosting {

class Call;

// What reaches a slot: the Invoke flag of a method, property get, put or put-by-reference.
enum class SlotKind : WORD {
    Method = DISPATCH_METHOD,
    Get = DISPATCH_PROPERTYGET,
    Put = DISPATCH_PROPERTYPUT,
    PutRef = DISPATCH_PROPERTYPUTREF,
};

// The type of a parameter, property or result; objects carry the name of their kind, and
// some kinds of object may also be given as a text (a connection text, a picture file's path).
struct ValueType {
    VARTYPE vt;
    const char* name = nullptr;
    bool takesText = false;
};

inline constexpr ValueType kVoid{VT_VOID};
inline constexpr ValueType kText{VT_BSTR};
inline constexpr ValueType kBoolean{VT_BOOL};
inline constexpr ValueType kInteger{VT_I2};
inline constexpr ValueType kLong{VT_I4};
inline constexpr ValueType kDouble{VT_R8};
inline constexpr ValueType kAnyValue{VT_VARIANT};
inline constexpr ValueType kConnection{VT_DISPATCH, "Connection", true};
inline constexpr ValueType kRecordset{VT_DISPATCH, "Recordset"};
inline constexpr ValueType kField{VT_DISPATCH, "Field"};
inline constexpr ValueType kPicture{VT_DISPATCH, "Picture", true};
inline constexpr ValueType kImageControl{VT_DISPATCH, "ImageControl"};

// Parameter flags.
inline constexpr unsigned ByValue = 0;
inline constexpr unsigned ByRef = 1;
inline constexpr unsigned Optional = 2;

struct Param {
    std::string name;
    ValueType type;
    unsigned flags = ByValue;

    bool IsByRef() const { return (flags & ByRef) != 0; }
    bool IsOptional() const { return (flags & Optional) != 0; }
};

struct Slot {
    SlotKind kind;
    std::string name;
    DISPID id;
    ValueType result;
    std::vector<Param> params;
};

// Runs the handler of slot `index` for a call whose arguments have been checked.
using SlotRunner = std::function<void(std::size_t index, Call& call)>;

// The shape of one dispatch interface: its slots in order, each a method or one accessor of a
// property, with names, dispatch identifiers, parameters and result types. It answers
// GetIDsOfNames, checks and runs Invoke calls, and gives the plain type description.
class InterfaceShape {
public:
    // An empty shape, then `build` adds its slots (the shape can be neither copied nor moved).
    InterfaceShape(std::string name, const IID& iid,
                   const std::function<void(InterfaceShape&)>& build = {});
    InterfaceShape(const InterfaceShape&) = delete;
    InterfaceShape& operator=(const InterfaceShape&) = delete;
    ~InterfaceShape();

    // Adds the next slot and returns its index. The slot shares the dispatch identifier of an
    // earlier slot of the same name; a new name gets the next identifier, from 1. A property
    // get has no parameters and returns `type`; a put takes one parameter "value" of `type`.
    // Only before the first Description().
    std::size_t Add(SlotKind kind, std::string name, ValueType result, std::vector<Param> params);
    std::size_t AddProperty(SlotKind kind, std::string name, ValueType type);
    // An event: a method without result whose parameters are all by reference.
    std::size_t AddEvent(std::string name, std::vector<Param> params);

    const std::string& Name() const { return m_name; }
    const IID& Iid() const { return m_iid; }
    const std::vector<Slot>& Slots() const { return m_slots; }

    // IDispatch::GetIDsOfNames: the member's identifier (names compared ignoring letter case)
    // and its parameters' positions.
    HRESULT GetIDsOfNames(OLECHAR** names, UINT count, DISPID* ids) const;

    // IDispatch::Invoke: picks the slot of `id` that `flags` reaches, checks the arguments
    // against it, runs it, and turns failures into result codes: argument errors into their
    // DISP_E_ codes (with `argumentError`), an exception of the handler into DISP_E_EXCEPTION
    // described in `exception`.
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                   UINT* argumentError, const SlotRunner& run) const;

    // The plain description, made on first use and kept as long as the shape.
    const InterfaceDescription& Description() const;

private:
    struct PlainDescription;

    HRESULT Select(DISPID id, WORD flags, std::size_t& index) const;
    const Slot* FindSlot(DISPID id, SlotKind kind) const;
    DISPID IdOfName(const std::string& name) const;

    std::string m_name;
    IID m_iid;
    std::vector<Slot> m_slots;
    DISPID m_lastId = 0;
    mutable std::once_flag m_described;
    mutable std::unique_ptr<PlainDescription> m_description;
};

}  // namespace vesk::component_hosting
