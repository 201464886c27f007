#pragma once

#include <stdexcept>
#include <string>

namespace framework {

// Base of the framework's own exceptions. ClassName() is what the default handling shows.
class RuntimeException : public std::runtime_error {
public:
    explicit RuntimeException(const std::string& message) : std::runtime_error(message) {}
    virtual const char* ClassName() const { return "RuntimeException"; }
};

#define FRAMEWORK_EXCEPTION(Name)                                                                  \
    class Name : public RuntimeException {                                                         \
    public:                                                                                        \
        explicit Name(const std::string& message) : RuntimeException(message) {}                   \
        const char* ClassName() const override { return #Name; }                                   \
    }

// A nil reference used where an object is needed.
FRAMEWORK_EXCEPTION(NilObjectException);
// A user-interface operation called off the main thread.
FRAMEWORK_EXCEPTION(ThreadAccessingUIException);
// A class-tested cast to a class the object is not of.
FRAMEWORK_EXCEPTION(IllegalCastException);
// A property record that is cut short, overruns, or names an undeclared property.
FRAMEWORK_EXCEPTION(PropertyRecordException);
// A native call (a named operation sent to a widget) that failed.
FRAMEWORK_EXCEPTION(NativeCallException);
// A delegate whose signature does not fit the event it is attached to.
FRAMEWORK_EXCEPTION(DelegateSignatureException);
// An index outside a list.
FRAMEWORK_EXCEPTION(OutOfBoundsException);

#undef FRAMEWORK_EXCEPTION

} // namespace framework
