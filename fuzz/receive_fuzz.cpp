// Feeds a byte stream to the receive path in arbitrary arrivals, as the window does, and checks
// that every response between end marks is handled once, whole and in order, that the buffer
// holds exactly the unterminated tail, and that reading a response takes its fields from it.
//
// Input: byte 0 bit 0 set = close with an empty arrival; bits 1-7 = how many arrival lengths
// follow (each byte + 1, used in turn); the rest is the stream. No lengths: one arrival.

#include "device/protocol.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using device::ResponseKind;
using device::Text;

namespace {

[[noreturn]] void Finding(const char* what, const Text& detail = {}) {
    std::fprintf(stderr, "receive_fuzz: %s [%s]\n", what, detail.c_str());
    std::abort();
}

// Kept apart from the reader's own table so the two are checked against each other.
ResponseKind KindOf(const Text& response) {
    if (response.size() < 2 || response[0] != '*') {
        return ResponseKind::Unknown;
    }
    switch (response[1]) {
    case 'P':
    case 'O':
    case 'C':
    case 'L':
    case 'D':
        return ResponseKind::Identifier;
    case 'V':
        return ResponseKind::Version;
    case 'B':
    case 'J':
        return ResponseKind::Brightness;
    case 'F':
    case 'Q':
        return ResponseKind::Frequency;
    default:
        return ResponseKind::Unknown;
    }
}

// Up to `count` bytes from the 0-based `from`, only those present.
Text Slice(const Text& s, std::size_t from, std::size_t count) {
    return from >= s.size() ? Text() : s.substr(from, count);
}

bool IsNumberText(const Text& s) {
    return !s.empty() && s.size() <= 24 && s.find_first_not_of("0123456789-+.e") == Text::npos;
}

void CheckRead(const Text& piece) {
    const device::Response read = device::ReadResponse(piece);
    const ResponseKind kind = KindOf(piece);
    if (read.kind != kind) {
        Finding("response read as another kind", piece);
    }
    const bool known = kind != ResponseKind::Unknown;
    if (read.idLabel != (known ? "ID: " + Slice(piece, 2, 2) : Text())) {
        Finding("ID label not taken from the response", piece);
    }
    if (read.versionLabel !=
        (kind == ResponseKind::Version ? "Version: " + Slice(piece, 4, 3) : Text())) {
        Finding("version label not taken from the response", piece);
    }
    if (kind == ResponseKind::Brightness) {
        // The label is the number the three characters start with, written out again.
        const Text digits = Slice(piece, 4, 3);
        if (!IsNumberText(read.brightnessLabel) ||
            framework::Val(read.brightnessLabel) != framework::Val(digits)) {
            Finding("brightness label is not the response's number", piece);
        }
    } else if (!read.brightnessLabel.empty()) {
        Finding("brightness label set for another kind", piece);
    }
    int32_t frequency = -1;
    if (kind == ResponseKind::Frequency && piece.size() > 4 && piece[4] >= '0' && piece[4] <= '9') {
        frequency = piece[4] - '0' - 1;
    }
    if (read.frequencyIndex != frequency || read.frequencyIndex < -1 || read.frequencyIndex > 8) {
        Finding("frequency index not from the response's digit", piece);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool closeWithEmpty = (data[0] & 1) != 0;
    const std::size_t lengthCount = std::min<std::size_t>(data[0] >> 1, size - 1);
    const uint8_t* lengths = data + 1;
    const Text stream(reinterpret_cast<const char*>(data + 1 + lengthCount),
                      size - 1 - lengthCount);

    Text buffer;
    Text handled;  // each handled response followed by "~"
    Text expected; // the same, worked out from the stream alone
    Text tail;     // the stream since its last end mark
    std::size_t fed = 0;
    std::size_t arrival = 0;

    auto deliver = [&](const Text& newText) {
        const device::ReceiveCut cut = device::CutReceived(buffer, newText);
        for (const Text& piece : cut.pieces) {
            if (piece.find('~') != Text::npos) {
                Finding("a piece holds an end mark", piece);
            }
            if (!piece.empty()) {
                handled += piece + "~";
                CheckRead(piece);
            }
        }
        if (buffer.find('~') != Text::npos) {
            Finding("the buffer holds an end mark", buffer);
        }
        if (buffer.size() > fed) {
            Finding("the buffer grew beyond what arrived", buffer);
        }
    };

    while (fed < stream.size()) {
        std::size_t length = stream.size() - fed;
        if (lengthCount > 0) {
            length = std::min<std::size_t>(length, lengths[arrival++ % lengthCount] + 1u);
        }
        const Text newText = stream.substr(fed, length);
        for (const char c : newText) {
            if (c != '~') {
                tail += c;
            } else {
                if (!tail.empty()) {
                    expected += tail + "~";
                }
                tail.clear();
            }
        }
        fed += length;
        deliver(newText);
        if (buffer != tail) {
            Finding("the buffer is not the tail after the last end mark", buffer);
        }
        if (handled.size() != expected.size()) {
            Finding("responses handled so far differ from the stream's", handled);
        }
    }
    if (closeWithEmpty) {
        // The empty arrival hands over the tail as a whole response.
        if (!tail.empty()) {
            expected += tail + "~";
        }
        tail.clear();
        deliver(Text());
        if (!buffer.empty()) {
            Finding("the buffer is not empty after an empty arrival", buffer);
        }
    }
    if (handled != expected) {
        Finding("handled responses differ from the stream's", handled);
    }
    return 0;
}
