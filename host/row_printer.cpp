#include "row_printer.h"

#include <cmath>
#include <ostream>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

namespace vesk::host {

namespace {

std::string Hex(const data_access::Bytes& bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (auto byte : bytes) {
        hex += fmt::format("{:02x}", static_cast<unsigned>(byte));
    }
    return hex;
}

Cell BinaryCell(const data_access::Field& field, bool hexBlobs) {
    if (hexBlobs) {
        data_access::Variant value = field.Value();
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

Cell CellOf(const data_access::Field& field, bool hexBlobs) {
    if (data_access::IsBinaryType(field.Type())) {
        return BinaryCell(field, hexBlobs);
    }
    data_access::Variant value = field.Value();
    switch (value.Type()) {
        case data_access::VariantType::Empty:
        case data_access::VariantType::Null:
            return {};
        case data_access::VariantType::Binary:
            return {Cell::Binary,
                    hexBlobs ? Hex(*value.AsBytes()) : std::to_string(value.AsBytes()->size())};
        case data_access::VariantType::Double:
            if (!std::isfinite(value.ToDouble())) {
                return {Cell::Text, value.ToText()};
            }
            return {Cell::Bare, value.ToText()};
        case data_access::VariantType::Int16:
        case data_access::VariantType::Int32:
        case data_access::VariantType::Int64:
            return {Cell::Bare, value.ToText()};
        case data_access::VariantType::Bool:
            return {Cell::Bool, value.ToText()};
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
        case Cell::Bool:
            return cell.text == "True" ? "true" : "false";
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

void AddRowFormatOptions(CLI::App& command, std::string& style, bool& header) {
    command
        .add_option("--format", style, "rows as text (for people, the default), tsv, csv or json")
        ->check(CLI::IsMember({"text", "tsv", "csv", "json"}));
    command.add_flag("--header,!--no-header", header, "print a line of column names first");
}

RowWriter::RowWriter(std::ostream& out, RowFormat format, std::vector<std::string> columns)
    : m_out(out), m_format(format), m_columns(std::move(columns)) {}

RowWriter::~RowWriter() {
    Finish();
}

void RowWriter::Start() {
    m_started = true;
    if (m_format.style == RowStyle::Json) {
        m_out << "[";
    } else if (m_format.header) {
        std::vector<Cell> names;
        for (const std::string& column : m_columns) {
            names.push_back({Cell::Text, column});
        }
        Row(names);
        m_rows = 0;
    }
}

void RowWriter::Row(const std::vector<Cell>& cells) {
    if (!m_started) {
        Start();
    }
    bool json = m_format.style == RowStyle::Json;
    const char* separator = json ? ", " : m_format.style == RowStyle::Csv ? "," : "\t";
    if (json) {
        m_out << (m_rows ? ",\n{" : "\n{");
    }
    for (std::size_t column_idx = 0; column_idx < cells.size(); ++column_idx) {
        m_out << (column_idx ? separator : "");
        if (json) {
            m_out << JsonString(m_columns[column_idx]) << ": "
                  << JsonValue(cells[column_idx], m_format.hexBlobs);
        } else {
            m_out << DelimitedField(cells[column_idx], m_format);
        }
    }
    m_out << (json ? "}" : m_format.style == RowStyle::Csv ? "\r\n" : "\n");
    ++m_rows;
}

void RowWriter::Finish() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    if (!m_started) {
        Start();
    }
    if (m_format.style == RowStyle::Json) {
        m_out << (m_rows ? "\n]\n" : "]\n");
    }
}

long PrintRows(data_access::Recordset& rows, std::ostream& out, const RowFormat& format) {
    data_access::Fields fields = rows.Fields();
    std::vector<std::string> columns;
    for (long column_idx = 0; column_idx < fields.Count(); ++column_idx) {
        columns.push_back(fields.Item(column_idx).Name());
    }
    RowWriter writer(out, format, std::move(columns));
    long printed = 0;
    for (; !rows.IsEOF(); rows.MoveNext(), ++printed) {
        std::vector<Cell> cells;
        for (long column_idx = 0; column_idx < fields.Count(); ++column_idx) {
            cells.push_back(CellOf(fields.Item(column_idx), format.hexBlobs));
        }
        writer.Row(cells);
    }
    writer.Finish();
    return printed;
}

}  // namespace vesk::host
