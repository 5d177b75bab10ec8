#pragma once

#include "vesk/component_hosting/variant.h"
#include "vesk/data_access/variant.h"

// Field values between the data-access layer and the component interface.
namespace vesk::component_hosting {

// Empty, Null, 16- and 32-bit integers, doubles, Booleans and texts as themselves; 64-bit
// integers as doubles; dates as their ISO text. Throws std::invalid_argument for bytes, which
// have no form in a VARIANT here.
Variant ToComVariant(const data_access::Variant& value);

// The reverse, for Empty, Null, VT_I2, VT_I4, VT_R8, VT_BOOL and VT_BSTR (followed when by
// reference); throws std::invalid_argument for other types.
data_access::Variant ToDataVariant(const VARIANT& value);

}  // namespace vesk::component_hosting
