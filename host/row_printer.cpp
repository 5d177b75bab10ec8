#include "row_printer.h"

#include <ostream>

namespace vesk::host {

namespace {

std::string FieldText(const data::Field& field) {
    if (data::IsBinaryType(field.Type())) {
        // The size alone tells the story; a large value is never read just to print it.
        std::int64_t size = field.ActualSize();
        if (size == 0 && field.Value().IsNull()) {
            return {};
        }
        return "<" + std::to_string(size) + " bytes>";
    }
    data::Variant value = field.Value();
    if (value.Type() == data::VariantType::Binary) {
        return "<" + std::to_string(value.AsBytes()->size()) + " bytes>";
    }
    return value.ToText();
}

}  // namespace

long PrintRows(data::Recordset& rows, std::ostream& out) {
    data::Fields fields = rows.Fields();
    for (long column_idx = 0; column_idx < fields.Count(); ++column_idx) {
        out << (column_idx ? "\t" : "") << fields.Item(column_idx).Name();
    }
    out << "\n";
    long printed = 0;
    for (; !rows.IsEOF(); rows.MoveNext(), ++printed) {
        for (long column_idx = 0; column_idx < fields.Count(); ++column_idx) {
            out << (column_idx ? "\t" : "") << FieldText(fields.Item(column_idx));
        }
        out << "\n";
    }
    return printed;
}

}  // namespace vesk::host
