#pragma once

#include "framework/core/exceptions.h"
#include "framework/core/text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace framework {

class Object;
using ObjectRef = std::shared_ptr<Object>;

// Value types a property record can hold.
enum class PropertyType { Int32, UInt8, Boolean, Single, Double, Color, Text };

struct Color {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0; // 0 is opaque
    bool operator==(const Color&) const = default;
};

using PropertyValue = std::variant<int32_t, uint8_t, bool, float, double, Color, Text>;

struct PropertyDecl {
    std::string name;
    PropertyType type;
    std::function<void(Object&, const PropertyValue&)> set;
};

// What the framework knows of a class: its name, its base, how to make one, and the properties
// a property record may set on it.
struct ClassRecord {
    std::string name;
    const ClassRecord* base = nullptr;
    std::function<ObjectRef()> factory; // empty for classes that are never created by name
    std::vector<PropertyDecl> properties;

    bool IsA(const ClassRecord& other) const;
    // Searches this class, then its bases; names match without regard to letter case.
    const PropertyDecl* FindProperty(std::string_view name) const;
};

class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object() = default;
    virtual const ClassRecord& ClassInfo() const = 0;
};

// Declares the two members every framework and program class has.
#define FRAMEWORK_CLASS()                                                                          \
public:                                                                                            \
    static const ::framework::ClassRecord& Record();                                               \
    const ::framework::ClassRecord& ClassInfo() const override {                                   \
        return Record();                                                                           \
    }

// Registration makes a class findable by name; records register themselves when built.
void RegisterClass(const ClassRecord& record);
const ClassRecord* FindClass(std::string_view name);

// A new object of the class, or nil when none could be made.
ObjectRef RuntimeNewObject(const ClassRecord& record);
// Test seam: when the hook answers true for a class, RuntimeNewObject gives nil for it.
void SetNewObjectFailureHook(std::function<bool(const ClassRecord&)> hook);

bool RuntimeObjectIsa(const ObjectRef& object, const ClassRecord& record);

// The same object as T; nil stays nil; an object of another class is IllegalCastException.
template <class T> std::shared_ptr<T> RuntimeCheckCast(const ObjectRef& object) {
    if (!object) {
        return nullptr;
    }
    if (!object->ClassInfo().IsA(T::Record())) {
        throw IllegalCastException("An object of class " + object->ClassInfo().name + " is not a " +
                                   T::Record().name);
    }
    return std::static_pointer_cast<T>(object);
}

// Raises NilObjectException when the reference is nil, else gives it back.
template <class P> const P& Deref(const P& ref, const char* what) {
    if (!ref) {
        throw NilObjectException(std::string("nil ") + what);
    }
    return ref;
}

// Builds a property declaration whose setter calls a member of T.
template <class T, class V>
PropertyDecl MakeProperty(std::string name, PropertyType type, void (T::*setter)(V)) {
    using Plain = std::remove_cvref_t<V>;
    return PropertyDecl{std::move(name), type, [setter](Object& o, const PropertyValue& v) {
                            (static_cast<T&>(o).*setter)(std::get<Plain>(v));
                        }};
}

// Declares a property that records may set and that has no effect here.
inline PropertyDecl IgnoredProperty(std::string name, PropertyType type) {
    return PropertyDecl{std::move(name), type, [](Object&, const PropertyValue&) {}};
}

} // namespace framework
