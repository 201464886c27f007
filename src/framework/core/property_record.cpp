#include "framework/core/property_record.h"

#include <bit>
#include <cstdio>
#include <limits>

namespace framework {

namespace {

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Names come from the record and may be hostile: a message shows only the start of a long one.
std::string ShownName(std::string_view name) {
    constexpr std::size_t kShown = 64;
    if (name.size() <= kShown) {
        return std::string(name);
    }
    return std::string(name.substr(0, kShown)) + "...";
}

[[noreturn]] void Malformed(std::size_t offset, std::string_view name, const std::string& what) {
    std::string message = "Malformed property record at byte offset " + std::to_string(offset);
    if (!name.empty()) {
        message += " (property " + ShownName(name) + ")";
    }
    throw PropertyRecordException(message + ": " + what);
}

// Reads the entries of one record in order; every read checks what is left first.
class Reader {
public:
    Reader(const ClassRecord& cls, std::string_view record) : cls_(cls), record_(record) {}

    std::vector<PropertyEntry> ReadAll() {
        std::vector<PropertyEntry> entries;
        while (pos_ < record_.size()) {
            const std::size_t offset = pos_;
            const std::string_view name = ReadName();
            const PropertyDecl* decl = cls_.FindProperty(name);
            if (decl == nullptr) {
                Malformed(offset, name, "class " + cls_.name + " declares no such property");
            }
            entries.push_back(PropertyEntry{offset, decl, ReadValue(*decl)});
        }
        return entries;
    }

private:
    std::string_view ReadName() {
        const std::size_t start = pos_;
        std::size_t end = start;
        while (end < record_.size() && IsNameChar(record_[end])) {
            ++end;
        }
        const std::string_view name = record_.substr(start, end - start);
        if (end == record_.size()) {
            Malformed(start, name, "the name runs to the end of the record without a blank");
        }
        if (record_[end] != ' ') {
            char what[96];
            std::snprintf(what, sizeof what,
                          "byte 0x%02X at offset %zu is not a letter or digit of a name",
                          static_cast<unsigned>(static_cast<unsigned char>(record_[end])), end);
            Malformed(start, name, what);
        }
        if (name.empty()) {
            Malformed(start, name, "empty property name");
        }
        pos_ = end + 1; // only this first blank ends the name; the value may start with 0x20
        return name;
    }

    std::string_view Take(std::size_t count, const PropertyDecl& decl) {
        const std::size_t left = record_.size() - pos_;
        if (count > left) {
            Malformed(pos_, decl.name,
                      "value cut short: " + std::to_string(count) + " bytes needed, " +
                          std::to_string(left) + " left");
        }
        const std::string_view bytes = record_.substr(pos_, count);
        pos_ += count;
        return bytes;
    }

    // Little-endian; the whole width is checked at once, so a short value names where it starts.
    template <class U> U TakeUnsigned(const PropertyDecl& decl) {
        const std::string_view b = Take(sizeof(U), decl);
        U v = 0;
        for (std::size_t i = sizeof(U); i-- > 0;) {
            v = static_cast<U>(v << 8) | static_cast<unsigned char>(b[i]);
        }
        return v;
    }

    uint32_t TakeUInt32(const PropertyDecl& decl) { return TakeUnsigned<uint32_t>(decl); }

    uint8_t TakeByte(const PropertyDecl& decl) {
        return static_cast<uint8_t>(static_cast<unsigned char>(Take(1, decl)[0]));
    }

    PropertyValue ReadValue(const PropertyDecl& decl) {
        switch (decl.type) {
        case PropertyType::Int32:
            return static_cast<int32_t>(TakeUInt32(decl));
        case PropertyType::UInt8:
            return TakeByte(decl);
        case PropertyType::Boolean: {
            const std::size_t at = pos_;
            const uint8_t b = TakeByte(decl);
            if (b > 1) {
                char what[64];
                std::snprintf(what, sizeof what, "Boolean byte 0x%02X is neither 00 nor 01",
                              static_cast<unsigned>(b));
                Malformed(at, decl.name, what);
            }
            return b == 1;
        }
        case PropertyType::Single:
            return std::bit_cast<float>(TakeUInt32(decl));
        case PropertyType::Double:
            return std::bit_cast<double>(TakeUnsigned<uint64_t>(decl));
        case PropertyType::Color: {
            const std::string_view b = Take(4, decl);
            auto at = [&](std::size_t i) { return static_cast<uint8_t>(b[i]); };
            return Color{at(0), at(1), at(2), at(3)};
        }
        case PropertyType::Text: {
            // The count is checked against the bytes present before anything is allocated.
            const uint32_t count = TakeUInt32(decl);
            return Text(Take(count, decl));
        }
        }
        Malformed(pos_, decl.name, "the property has a type records cannot hold");
    }

    const ClassRecord& cls_;
    std::string_view record_;
    std::size_t pos_ = 0;
};

} // namespace

template <class U> PropertyRecordWriter& PropertyRecordWriter::Put(std::string_view name, U bits) {
    bytes_.append(name);
    bytes_.push_back(' ');
    for (std::size_t i = 0; i < sizeof(U); ++i) {
        bytes_.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
    return *this;
}

PropertyRecordWriter& PropertyRecordWriter::AddInt32(std::string_view name, int32_t value) {
    return Put(name, static_cast<uint32_t>(value));
}

PropertyRecordWriter& PropertyRecordWriter::AddUInt8(std::string_view name, uint8_t value) {
    return Put(name, value);
}

PropertyRecordWriter& PropertyRecordWriter::AddBoolean(std::string_view name, bool value) {
    return Put(name, uint8_t{value});
}

PropertyRecordWriter& PropertyRecordWriter::AddSingle(std::string_view name, float value) {
    return Put(name, std::bit_cast<uint32_t>(value));
}

PropertyRecordWriter& PropertyRecordWriter::AddDouble(std::string_view name, double value) {
    return Put(name, std::bit_cast<uint64_t>(value));
}

PropertyRecordWriter& PropertyRecordWriter::AddColor(std::string_view name, Color value) {
    return Put(name, value.red | uint32_t{value.green} << 8 | uint32_t{value.blue} << 16 |
                         uint32_t{value.alpha} << 24);
}

PropertyRecordWriter& PropertyRecordWriter::AddText(std::string_view name, std::string_view value) {
    if (value.size() > std::numeric_limits<uint32_t>::max()) {
        throw PropertyRecordException("Text of property " + ShownName(name) +
                                      " is too long for a record");
    }
    Put(name, static_cast<uint32_t>(value.size())).bytes_.append(value);
    return *this;
}

std::vector<PropertyEntry> ReadPropertyRecord(const ClassRecord& cls, std::string_view record) {
    return Reader(cls, record).ReadAll();
}

int32_t SetProperties(Object& target, std::string_view record) {
    const std::vector<PropertyEntry> entries = ReadPropertyRecord(target.ClassInfo(), record);
    // A declaration without a setter is caught before any property is set.
    for (const PropertyEntry& entry : entries) {
        if (!entry.decl->set) {
            Malformed(entry.offset, entry.decl->name, "the property cannot be set");
        }
    }
    for (const PropertyEntry& entry : entries) {
        entry.decl->set(target, entry.value);
    }
    return static_cast<int32_t>(entries.size());
}

} // namespace framework
