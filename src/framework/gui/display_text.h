#pragma once

#include "framework/core/text.h"

#include <QString>

#include <cstddef>

namespace framework {

// How a text shows in a widget: UTF-8 where valid, byte by byte (Latin-1) where not, so no byte
// is lost or breaks anything.
QString DisplayString(const Text& text);

// Bytes that end before the sequence their lead byte begins does.
inline constexpr int kUtf8Unfinished = -1;

struct Utf8Sequence {
    int length; // 1 to 4; 0 when no well-formed sequence starts here; or kUtf8Unfinished
    char32_t code;
};

// The sequence at p, of the `available` bytes there (at least one). Well-formed UTF-8 only (no
// overlong forms, surrogates or code points past U+10FFFF), so that every byte of anything else
// shows on its own.
Utf8Sequence ReadUtf8(const unsigned char* p, std::size_t available);

} // namespace framework
