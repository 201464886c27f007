#pragma once

#include "framework/core/exceptions.h"

#include <functional>
#include <string>

// The class name of the framework exception the call raised, or "" when it returned; lets a
// table say which error each wrong use must give.
inline std::string Raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const framework::RuntimeException& e) {
        return e.ClassName();
    }
    return "";
}
