#pragma once

#include "framework/core/text.h"

#include <cstdint>
#include <vector>

// The device's line protocol, apart from any window or port: command texts, cutting received
// text into responses, and reading a response's fields.
namespace device {

using framework::Text;

// Fixed commands. The fillers are the capital letter O, never the digit zero.
inline const Text kStartupCommands[4] = {">SOOO<", ">JOOO<", ">VOOO<", ">QOOO<"};
inline const Text kOnCommand = ">LOOO<";
inline const Text kOffCommand = ">DOOO<";

// ">B" + the value as at least three digits, zero-padded + "<".
Text BrightnessCommand(int32_t value);
// ">FOO" + (row index + 1) without padding + "<". The row index is not tested.
Text FrequencyCommand(int32_t rowIndex);

// The end mark that closes every response on the line.
inline const Text kEndMark = "~";

// What one arrival of text yields: the pieces to handle, in order (empty ones included, since
// every piece of the range is yielded for), after the buffer has been settled.
struct ReceiveCut {
    std::vector<Text> pieces;
};

// Joins the new text to the buffer, cuts it at every end mark and settles the buffer: when the
// new text is non-empty and does not end with the end mark, the buffer keeps the last piece
// (the unterminated tail) and the range ends before it; otherwise the buffer ends empty and the
// range runs to the last piece. The buffer has its final value when this returns.
ReceiveCut CutReceived(Text& readBuffer, const Text& newText);

enum class ResponseKind {
    Unknown,    // only logged
    Identifier, // "*P", "*O", "*C", "*L", "*D": the identifier alone
    Version,    // "*V"
    Brightness, // "*B", "*J"
    Frequency,  // "*F", "*Q"
};

struct Response {
    ResponseKind kind = ResponseKind::Unknown;
    Text idLabel;         // "ID: " + characters 3-4 (every known kind)
    Text versionLabel;    // "Version: " + characters 5-7 (Version)
    Text brightnessLabel; // Str(Val(characters 5-7)) (Brightness)
    int32_t frequencyIndex = -1; // Val(character 5) - 1 (Frequency)
};

// Reads a response by its first two characters. Short responses give the characters present.
Response ReadResponse(const Text& response);

} // namespace device
