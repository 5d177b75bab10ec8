#pragma once

#include <string>

#include "vesk/component_hosting/type_description.h"

namespace vesk::component_hosting {

// The type description in an IDL-like text: the library with its identifier, version and
// description, each interface as a dispinterface with its members in slot order
// ("[id(1), propget] double PhotosMaxSize();", by-reference parameters as pointers,
// "[in, out, optional]" flags), and each class as a coclass naming its default and source
// interfaces.
std::string TypeLibraryText(const TypeLibraryDescription& library);

}  // namespace vesk::component_hosting
