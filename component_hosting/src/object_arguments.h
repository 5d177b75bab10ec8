#pragma once

#include "call.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/recordset.h"
#include "vesk/picture/picture.h"

// Object arguments of late-bound calls as the C++ objects the components take. An argument
// that is neither of the forms named throws ArgumentError (DISP_E_TYPEMISMATCH).
namespace vesk::component_hosting {

// No object (also when left out); a Connection object of this library, whose connection is
// shared; a connection text, opened now; or another object with a ConnectionString property
// (a Connection of another library), whose text is opened now. A connection opened here
// belongs to whatever the component keeps it in (the object the call is for) and is closed
// when that lets it go. Opening failures throw the data-access error (DISP_E_EXCEPTION).
data_access::ConnectionPtr ConnectionArgument(const Call& call, std::size_t index);

// No object, or a Recordset object of this library (its rows are shared).
data_access::RecordsetPtr RecordsetArgument(const Call& call, std::size_t index);

// A Field object of this library; no object is a type mismatch.
data_access::Field FieldArgument(const Call& call, std::size_t index);

// No object (the empty picture); a Picture object of this library; or the path of a picture
// file, loaded now (the empty text is the empty picture). Loading failures throw the
// picture's error (DISP_E_EXCEPTION).
picture::Picture PictureArgument(const Call& call, std::size_t index);

// The objects handed back to hosts.
ComPtr<IDispatch> ConnectionResult(data_access::ConnectionPtr connection);
ComPtr<IDispatch> RecordsetResult(data_access::RecordsetPtr rows);
ComPtr<IDispatch> PictureResult(const picture::Picture& picture);

}  // namespace vesk::component_hosting
