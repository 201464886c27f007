#pragma once

#include <QVariant>

class QObject;

namespace framework {

// Sends a named operation with one argument to a widget through Qt's meta-object system: the
// stand-in for a native toolkit message. An unknown operation, a missing widget or a failed
// call raises NativeCallException.
void NativeSend(QObject* target, const char* operation, const QVariant& argument);

} // namespace framework
