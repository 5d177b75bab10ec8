#include "row_printer.h"

#include <cmath>
#include <ostream>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

namespace vesk::host {

namespace {

// One value as the formats see it: Null, a number or boolean (bare in Json), or a text.
struct Cell {
    enum Kind { Null, Bare, Text, Binary } kind = Null;
    std::string text;
};

std::string Hex(const data::Bytes& bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (auto byte : bytes) {
        hex += fmt::format("{:02x}", static_cast<unsigned>(byte));
    }
    return hex;
}

Cell BinaryCell(const data::Field& field, bool hexBlobs) {
    if (hexBlobs) {
        data::Variant value = field.Value();
        if (value.IsNull()) {
            return {};
        }
        return {Cell::Binary, Hex(value.ToBytes())};
    }
    std::int64_t size = field.ActualSize();
    if (size == 0 && field.Value().IsNull()) {
        return {};
    }
    return {Cell::Binary, std::to_string(size)};
}

Cell CellOf(const data::Field& field, bool hexBlobs) {
    if (data::IsBinaryType(field.Type())) {
        return BinaryCell(field, hexBlobs);
    }
    data::Variant value = field.Value();
    switch (value.Type()) {
        case data::VariantType::Empty:
        case data::VariantType::Null:
            return {};
        case data::VariantType::Binary:
            return {Cell::Binary,
                    hexBlobs ? Hex(*value.AsBytes()) : std::to_string(value.AsBytes()->size())};
        case data::VariantType::Double:
            if (!std::isfinite(value.ToDouble())) {
                return {Cell::Text, value.ToText()};
            }
            return {Cell::Bare, value.ToText()};
        case data::VariantType::Int16:
        case data::VariantType::Int32:
        case data::VariantType::Int64:
            return {Cell::Bare, value.ToText()};
        case data::VariantType::Bool:
            return {Cell::Bare, value.ToBool() ? "true" : "false"};
        default:
            return {Cell::Text, value.ToText()};
    }
}

// A binary cell as the delimited formats write it.
std::string BinaryText(const Cell& cell, bool hexBlobs) {
    return hexBlobs ? "\\x" + cell.text : "<" + cell.text + " bytes>";
}

std::string TextCell(const Cell& cell, bool hexBlobs) {
    if (cell.kind == Cell::Binary) {
        return BinaryText(cell, hexBlobs);
    }
    if (cell.kind == Cell::Bare && (cell.text == "true" || cell.text == "false")) {
        return cell.text == "true" ? "True" : "False";
    }
    return cell.text;
}

std::string TsvField(const Cell& cell, bool hexBlobs) {
    if (cell.kind == Cell::Null) {
        return "\\N";
    }
    std::string escaped;
    for (char c : TextCell(cell, hexBlobs)) {
        switch (c) {
            case '\t':
                escaped += "\\t";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\\':
                escaped += "\\\\";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string CsvQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string CsvField(const Cell& cell, bool hexBlobs) {
    if (cell.kind == Cell::Null) {
        return {};
    }
    std::string text = TextCell(cell, hexBlobs);
    bool quote = text.empty() || text.find_first_of(",\"\r\n") != std::string::npos;
    return quote ? CsvQuoted(text) : text;
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            quoted += fmt::format("\\u{:04x}", byte);
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string JsonValue(const Cell& cell, bool hexBlobs) {
    switch (cell.kind) {
        case Cell::Null:
            return "null";
        case Cell::Bare:
            return cell.text;
        case Cell::Binary:
            return hexBlobs ? "{\"hex\": " + JsonString(cell.text) + "}"
                            : "{\"bytes\": " + cell.text + "}";
        default:
            return JsonString(cell.text);
    }
}

std::string DelimitedField(const Cell& cell, const RowFormat& format) {
    switch (format.style) {
        case RowStyle::Tsv:
            return TsvField(cell, format.hexBlobs);
        case RowStyle::Csv:
            return CsvField(cell, format.hexBlobs);
        default:
            return TextCell(cell, format.hexBlobs);
    }
}

void PrintHeader(const data::Fields& fields, std::ostream& out, const RowFormat& format) {
    const char* separator = format.style == RowStyle::Csv ? "," : "\t";
    for (long column_idx = 0; column_idx < fields.Count(); ++column_idx) {
        Cell name{Cell::Text, fields.Item(column_idx).Name()};
        out << (column_idx ? separator : "") << DelimitedField(name, format);
    }
    out << (format.style == RowStyle::Csv ? "\r\n" : "\n");
}

void PrintDelimitedRow(const data::Fields& fields, std::ostream& out, const RowFormat& format) {
    const char* separator = format.style == RowStyle::Csv ? "," : "\t";
    for (long column_idx = 0; column_idx < fields.Count(); ++column_idx) {
        out << (column_idx ? separator : "")
            << DelimitedField(CellOf(fields.Item(column_idx), format.hexBlobs), format);
    }
    out << (format.style == RowStyle::Csv ? "\r\n" : "\n");
}

void PrintJsonRow(const data::Fields& fields, std::ostream& out, const RowFormat& format) {
    out << "{";
    for (long column_idx = 0; column_idx < fields.Count(); ++column_idx) {
        const data::Field& field = fields.Item(column_idx);
        out << (column_idx ? ", " : "") << JsonString(field.Name()) << ": "
            << JsonValue(CellOf(field, format.hexBlobs), format.hexBlobs);
    }
    out << "}";
}

}  // namespace

RowStyle RowStyleNamed(const std::string& name) {
    if (name == "text") {
        return RowStyle::Text;
    }
    if (name == "tsv") {
        return RowStyle::Tsv;
    }
    if (name == "csv") {
        return RowStyle::Csv;
    }
    if (name == "json") {
        return RowStyle::Json;
    }
    throw std::invalid_argument("unknown row format " + name);
}

long PrintRows(data::Recordset& rows, std::ostream& out, const RowFormat& format) {
    data::Fields fields = rows.Fields();
    bool json = format.style == RowStyle::Json;
    if (json) {
        out << "[";
    } else if (format.header) {
        PrintHeader(fields, out, format);
    }
    long printed = 0;
    for (; !rows.IsEOF(); rows.MoveNext(), ++printed) {
        if (json) {
            out << (printed ? ",\n" : "\n");
            PrintJsonRow(fields, out, format);
        } else {
            PrintDelimitedRow(fields, out, format);
        }
    }
    if (json) {
        out << (printed ? "\n]\n" : "]\n");
    }
    return printed;
}

}  // namespace vesk::host
