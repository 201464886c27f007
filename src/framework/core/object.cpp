#include "framework/core/object.h"

#include <map>
#include <utility>

namespace framework {

namespace {

// Function-local so that records may register from static initialisers in any unit.
std::map<std::string, const ClassRecord *, std::less<>> &Registry() {
    static std::map<std::string, const ClassRecord *, std::less<>> registry;
    return registry;
}

std::function<bool(const ClassRecord &)> &NewObjectFailureHook() {
    static std::function<bool(const ClassRecord &)> hook;
    return hook;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool ClassRecord::IsA(const ClassRecord &other) const {
    for (const ClassRecord *c = this; c != nullptr; c = c->base) {
        if (c == &other) {
            return true;
        }
    }
    return false;
}

const PropertyDecl *ClassRecord::FindProperty(std::string_view name) const {
    for (const ClassRecord *c = this; c != nullptr; c = c->base) {
        for (const PropertyDecl &decl : c->properties) {
            if (SameNameIgnoringCase(decl.name, name)) {
                return &decl;
            }
        }
    }
    return nullptr;
}

void RegisterClass(const ClassRecord &record) {
    // The first record under a name stays: a class is found by the name it was first known
    // by, and a later record cannot take over a name already handed out.
    Registry().emplace(record.name, &record);
}

const ClassRecord *FindClass(std::string_view name) {
    const auto &registry = Registry();
    const auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second;
}

ObjectRef RuntimeNewObject(const ClassRecord &record) {
    const std::function<bool(const ClassRecord &)> hook = NewObjectFailureHook();
    if ((hook && hook(record)) || !record.factory) {
        return nullptr;
    }
    return record.factory();
}

void SetNewObjectFailureHook(std::function<bool(const ClassRecord &)> hook) {
    NewObjectFailureHook() = std::move(hook);
}

bool RuntimeObjectIsa(const ObjectRef &object, const ClassRecord &record) {
    return object && object->ClassInfo().IsA(record);
}

} // namespace framework
