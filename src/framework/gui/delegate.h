#pragma once

#include "framework/core/object.h"

#include <exception>
#include <functional>
#include <memory>
#include <variant>

namespace framework {

// The entry of a handler the exception helper runs: a function and its one argument.
using HandlerEntry = void (*)(void*);
// The exception helper: runs the entry and gives the RuntimeException that escaped, or null.
using ExceptionHelper = std::exception_ptr (*)(HandlerEntry, void*);

// A callable with the signature text it was made with. Attaching it to an event compares that
// text with the event's, so wrong wiring fails at once.
struct Delegate {
    Text signature;
    std::variant<std::monostate, std::function<void()>, std::function<bool()>,
                 std::function<void(const ObjectRef&)>, ExceptionHelper>
        target;
};

// Delegate flag: hold the bound object weakly, so a control's handler does not keep its window
// alive.
inline constexpr int32_t kDelegateWeakBinding = 1;

// Over a free function without arguments: signature "(  )".
Delegate RuntimeCreateDelegate(void (*function)(), const Text& signature);
// Over the exception helper: signature "( Ptr, Ptr ) as Object".
Delegate RuntimeCreateDelegate(ExceptionHelper helper, const Text& signature);

// Signature texts compare with blanks removed: "(  )" and "()" are the same.
void CheckSignature(const Text& signature, const Text& expected);

template <class W>
std::function<std::shared_ptr<W>()> BindTarget(const std::shared_ptr<W>& self, int32_t flags) {
    if (flags & kDelegateWeakBinding) {
        std::weak_ptr<W> weak = self;
        return [weak] { return weak.lock(); };
    }
    return [self] { return self; };
}

// Over an event handler method `void W::m(const std::shared_ptr<C>&)`: the signature text must
// name C, as in "( PushButton )".
template <class W, class C>
Delegate RuntimeCreateDelegate(void (W::*method)(const std::shared_ptr<C>&),
                               const std::shared_ptr<W>& self, const Text& signature,
                               int32_t flags) {
    CheckSignature(signature, "(" + C::Record().name + ")");
    auto target = BindTarget(self, flags);
    return Delegate{
        signature, std::function<void(const ObjectRef&)>([target, method](const ObjectRef& sender) {
            auto object = Deref(target(), "delegate target");
            ((*object).*method)(RuntimeCheckCast<C>(sender));
        })};
}

// Over a menu handler method `bool W::m()`: signature "(  ) as Boolean".
template <class W>
Delegate RuntimeCreateDelegate(bool (W::*method)(), const std::shared_ptr<W>& self,
                               const Text& signature, int32_t flags) {
    CheckSignature(signature, "() as Boolean");
    auto target = BindTarget(self, flags);
    return Delegate{signature, std::function<bool()>([target, method] {
                        return ((*Deref(target(), "delegate target")).*method)();
                    })};
}

} // namespace framework
