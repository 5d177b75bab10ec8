#pragma once

#include <string>
#include <string_view>

#include "vesk/component_hosting/base_types.h"
#include "vesk/errors/error.h"

namespace vesk::component_hosting {

// A failed call of the component interface, as the host side reports it: the result code and
// a description (the component's own for DISP_E_EXCEPTION, else the code's name). The result
// code is also its EngineCode().
class ComError : public Error {
public:
    ComError(HRESULT code, const std::string& description);

    HRESULT Code() const { return m_code; }

private:
    HRESULT m_code;
};

// The name and value of a result code: "DISP_E_UNKNOWNNAME (0x80020006)"; the value alone for
// codes without a name here.
std::string ResultName(HRESULT code);

// Throws ComError(result, what + ": " + ResultName(result)) when `result` is a failure.
void ThrowIfFailed(HRESULT result, std::string_view what);

}  // namespace vesk::component_hosting
