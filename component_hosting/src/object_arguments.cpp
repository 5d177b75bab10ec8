#include "object_arguments.h"

#include "connection_object.h"
#include "field_object.h"
#include "picture_object.h"
#include "recordset_object.h"
#include "vesk/component_hosting/com_error.h"
#include "vesk/component_hosting/late_bound_object.h"
#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting {

namespace {

data_access::ConnectionPtr OpenConnection(const std::string& text) {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(text);
    return connection;
}

// The text an argument was given as, if it was.
std::optional<std::string> TextArgument(const Call& call, std::size_t index) {
    const VARIANT value = call.Arguments().Value(index);
    if (value.vt != VT_BSTR) {
        return std::nullopt;
    }
    return TextOf(value.bstrVal);
}

template <typename Object>
Object& RequireNative(IDispatch* object, std::size_t index) {
    Object* native = NativeObject<Object>(object);
    if (native == nullptr) {
        throw ArgumentError{DISP_E_TYPEMISMATCH, index};
    }
    return *native;
}

}  // namespace

data_access::ConnectionPtr ConnectionArgument(const Call& call, std::size_t index) {
    if (std::optional<std::string> text = TextArgument(call, index)) {
        return OpenConnection(*text);
    }
    IDispatch* object = call.Object(index);
    if (object == nullptr) {
        return nullptr;
    }
    if (auto* native = NativeObject<ConnectionObject>(object)) {
        return native->Connection();
    }
    try {
        return OpenConnection(
            LateBoundObject(ComPtr<IDispatch>::Share(object)).Get("ConnectionString").ToText());
    } catch (const ComError&) {
        throw ArgumentError{DISP_E_TYPEMISMATCH, index};
    }
}

data_access::RecordsetPtr RecordsetArgument(const Call& call, std::size_t index) {
    IDispatch* object = call.Object(index);
    return object == nullptr ? nullptr : RequireNative<RecordsetObject>(object, index).Rows();
}

data_access::Field FieldArgument(const Call& call, std::size_t index) {
    return RequireNative<FieldObject>(call.Object(index), index).Target();
}

picture::Picture PictureArgument(const Call& call, std::size_t index) {
    if (std::optional<std::string> path = TextArgument(call, index)) {
        return picture::Picture::Load(*path);
    }
    IDispatch* object = call.Object(index);
    return object == nullptr ? picture::Picture()
                             : RequireNative<PictureObject>(object, index).Target();
}

ComPtr<IDispatch> ConnectionResult(data_access::ConnectionPtr connection) {
    return ConnectionObject::Wrap(std::move(connection));
}

ComPtr<IDispatch> RecordsetResult(data_access::RecordsetPtr rows) {
    return RecordsetObject::Wrap(std::move(rows));
}

ComPtr<IDispatch> PictureResult(const picture::Picture& picture) {
    return PictureObject::Make(picture);
}

}  // namespace vesk::component_hosting
