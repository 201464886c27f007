#include "framework/gui/delegate.h"

#include <algorithm>
#include <cctype>

namespace framework {

namespace {

Text NormalizeSignature(const Text& signature) {
    Text normal;
    for (char c : signature) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            normal += c;
        }
    }
    // "as" keeps its blanks: "()asBoolean" reads back as "() as Boolean".
    const auto at = normal.find(")as");
    if (at != Text::npos) {
        normal.replace(at, 3, ") as ");
    }
    return normal;
}

} // namespace

void CheckSignature(const Text& signature, const Text& expected) {
    if (NormalizeSignature(signature) != NormalizeSignature(expected)) {
        throw DelegateSignatureException("a delegate with the signature \"" + signature +
                                         "\" does not fit \"" + expected + "\"");
    }
}

Delegate RuntimeCreateDelegate(void (*function)(), const Text& signature) {
    CheckSignature(signature, "()");
    return Delegate{signature, std::function<void()>(Deref(function, "function"))};
}

Delegate RuntimeCreateDelegate(ExceptionHelper helper, const Text& signature) {
    CheckSignature(signature, "(Ptr,Ptr) as Object");
    return Delegate{signature, Deref(helper, "exception helper")};
}

} // namespace framework
