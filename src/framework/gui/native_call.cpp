#include "framework/gui/native_call.h"

#include "framework/core/exceptions.h"
#include "framework/gui/runtime.h"

#include <QMetaMethod>
#include <QObject>

namespace framework {

void NativeSend(QObject* target, const char* operation, const QVariant& argument) {
    CheckMainThread();
    if (!target) {
        throw NativeCallException(std::string("no native view for ") + operation);
    }
    const QMetaObject* meta = target->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.name() != operation || method.parameterCount() != 1) {
            continue;
        }
        QVariant value = argument;
        if (!value.convert(method.parameterMetaType(0))) {
            throw NativeCallException(std::string("the argument does not fit ") + operation);
        }
        const QGenericArgument passed(value.typeName(), value.constData());
        if (!method.invoke(target, Qt::DirectConnection, passed)) {
            throw NativeCallException(std::string("the call of ") + operation + " failed");
        }
        return;
    }
    throw NativeCallException(std::string(target->metaObject()->className()) + " does not answer " +
                              operation);
}

} // namespace framework
