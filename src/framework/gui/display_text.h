#pragma once

#include "framework/core/text.h"

#include <QString>

namespace framework {

// How a text shows in a widget: UTF-8 where valid, byte by byte (Latin-1) where not, so no byte
// is lost or breaks anything.
QString DisplayString(const Text& text);

// The bytes of what the operator typed or Qt holds: UTF-8.
Text FromDisplayString(const QString& text);

} // namespace framework
