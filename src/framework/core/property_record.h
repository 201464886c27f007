#pragma once

#include "framework/core/object.h"

#include <string>
#include <string_view>
#include <vector>

namespace framework {

// Writes a record: entries back to back, each a name, one blank, and the value in the width of
// its type (integers and reals little-endian; a text as a 4-byte count and its bytes).
class PropertyRecordWriter {
public:
    PropertyRecordWriter& AddInt32(std::string_view name, int32_t value);
    PropertyRecordWriter& AddUInt8(std::string_view name, uint8_t value);
    PropertyRecordWriter& AddBoolean(std::string_view name, bool value);
    PropertyRecordWriter& AddSingle(std::string_view name, float value);
    PropertyRecordWriter& AddDouble(std::string_view name, double value);
    PropertyRecordWriter& AddColor(std::string_view name, Color value);
    PropertyRecordWriter& AddText(std::string_view name, std::string_view value);
    const std::string& Bytes() const { return bytes_; }

private:
    // The name, one blank and the value's bits, little-endian.
    template <class U> PropertyRecordWriter& Put(std::string_view name, U bits);
    std::string bytes_;
};

struct PropertyEntry {
    std::size_t offset; // of the entry's first byte
    const PropertyDecl* decl;
    PropertyValue value;
};

// Reads a whole record against the properties the class declares. A record that is cut short,
// names an undeclared property or overruns raises PropertyRecordException naming the offset and
// the property.
std::vector<PropertyEntry> ReadPropertyRecord(const ClassRecord& cls, std::string_view record);

// Reads the record against the object's class, then sets each property in the record's order.
// Gives the number of entries set.
int32_t SetProperties(Object& target, std::string_view record);

} // namespace framework
