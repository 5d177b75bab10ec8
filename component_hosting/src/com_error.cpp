#include "vesk/component_hosting/com_error.h"

#include <fmt/format.h>

#include <array>
#include <utility>

#include "vesk/component_hosting/result_codes.h"

namespace vesk::component_hosting {

ComError::ComError(HRESULT code, const std::string& description)
    : Error(description, static_cast<int>(code)), m_code(code) {}

std::string ResultName(HRESULT code) {
    static constexpr std::array<std::pair<HRESULT, const char*>, 24> kNames = {{
        {S_OK, "S_OK"},
        {S_FALSE, "S_FALSE"},
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_NOINTERFACE, "E_NOINTERFACE"},
        {E_POINTER, "E_POINTER"},
        {E_FAIL, "E_FAIL"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION"},
        {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE"},
        {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
        {CO_E_CLASSSTRING, "CO_E_CLASSSTRING"},
        {SELFREG_E_CLASS, "SELFREG_E_CLASS"},
        {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
        {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND"},
        {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
        {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
        {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS"},
        {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
        {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
        {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
        {DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL"},
        {CONNECT_E_NOCONNECTION, "CONNECT_E_NOCONNECTION"},
        {CONNECT_E_CANNOTCONNECT, "CONNECT_E_CANNOTCONNECT"},
    }};
    const std::string value = fmt::format("0x{:08X}", static_cast<std::uint32_t>(code));
    for (const auto& [known, name] : kNames) {
        if (known == code) {
            return fmt::format("{} ({})", name, value);
        }
    }
    return value;
}

void ThrowIfFailed(HRESULT result, std::string_view what) {
    if (Failed(result)) {
        throw ComError(result, fmt::format("{}: {}", what, ResultName(result)));
    }
}

}  // namespace vesk::component_hosting
