#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vesk/data_access/data_types.h"
#include "vesk/data_access/variant.h"

namespace vesk::data_access {

class Recordset;

// One column of a record set's current row. A light handle: valid while its record set
// lives; it always speaks of the row that is current when it is used.
class Field {
public:
    Field(Recordset& recordset, std::size_t index) : m_recordset(&recordset), m_index(index) {}

    const std::string& Name() const;
    DataTypeEnum Type() const;
    std::int64_t DefinedSize() const;

    // The current row's value (Null when the column holds none; the pending value while
    // the row is being edited). Throws DataAccessError when there is no current row.
    Variant Value() const;
    // Changes the value in the row being added or edited; a current row that is not being
    // added starts being edited. Stored by Recordset::Update.
    void SetValue(const Variant& value);

    // Bytes (or characters of UTF-8 text) of the current value; 0 for Null.
    std::int64_t ActualSize() const;
    // Reads up to `length` bytes continuing where the previous GetChunk of this field on
    // this row ended. Returns Null when nothing is left (or the value is Null). A text
    // column gives text, any other column bytes.
    Variant GetChunk(std::int64_t length);
    // Appends bytes (or text) to the value being built for the row being added or edited;
    // the first append of a row replaces the stored value. Large values are spooled to a
    // temporary file. Strong guarantee: on failure the value is as before the call.
    void AppendChunk(const Variant& data);

private:
    Recordset* m_recordset;
    std::size_t m_index;
};

// The columns of a record set, by 0-based position or by name (ignoring case).
class Fields {
public:
    explicit Fields(Recordset& recordset) : m_recordset(&recordset) {}

    long Count() const;
    // Throws DataAccessError when the position is out of range or no column has the name.
    Field Item(long index) const;
    Field Item(std::string_view name) const;
    Field operator[](std::string_view name) const { return Item(name); }
    // The position of the column named `name` (ignoring case); throws as Item.
    long IndexOf(std::string_view name) const;

private:
    Recordset* m_recordset;
};

}  // namespace vesk::data_access
