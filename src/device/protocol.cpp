#include "device/protocol.h"

#include <limits>
#include <utility>

namespace device {

using framework::Left;
using framework::Len;
using framework::Mid;
using framework::Right;
using framework::RuntimeCvtReal64ToSInt32;
using framework::RuntimeStringCompare;
using framework::Split;
using framework::Str;
using framework::UpperBound;
using framework::Val;

Text BrightnessCommand(int32_t value) {
    return ">B" + Str(value, "000") + "<";
}

Text FrequencyCommand(int32_t rowIndex) {
    // The last row index cannot be moved up in 32 bits; the wider overload writes it whole.
    const Text code = rowIndex < std::numeric_limits<int32_t>::max()
                          ? Str(rowIndex + 1, "#")
                          : Str(static_cast<double>(rowIndex) + 1.0, "#");
    return ">FOO" + code + "<";
}

ReceiveCut CutReceived(Text &readBuffer, const Text &newText) {
    // Only the new text decides whether the arrival ends inside a response.
    const bool hasTail = Len(newText) > 0 && Right(newText, 1) != kEndMark;

    // A device that never sends the end mark must not cost a copy and a cut of the whole
    // buffer at every arrival: when neither side holds a mark, the cut would give the joined
    // text as its only piece, kept as the tail.
    if (hasTail && newText.find(kEndMark) == Text::npos &&
        readBuffer.find(kEndMark) == Text::npos) {
        readBuffer += newText;
        return {};
    }

    readBuffer += newText;
    ReceiveCut cut{Split(readBuffer, kEndMark)};
    if (hasTail) {
        readBuffer = std::move(cut.pieces[UpperBound(cut.pieces)]);
        cut.pieces.pop_back();
    } else {
        readBuffer.clear();
    }
    return cut;
}

namespace {

struct KindCode {
    const char *type;
    ResponseKind kind;
};

// Matched in this order; the first equal type wins.
const KindCode kKindCodes[] = {
    {"*P", ResponseKind::Identifier}, {"*O", ResponseKind::Identifier},
    {"*C", ResponseKind::Identifier}, {"*L", ResponseKind::Identifier},
    {"*D", ResponseKind::Identifier}, {"*V", ResponseKind::Version},
    {"*B", ResponseKind::Brightness}, {"*J", ResponseKind::Brightness},
    {"*F", ResponseKind::Frequency},  {"*Q", ResponseKind::Frequency},
};

} // namespace

Response ReadResponse(const Text &response) {
    Response read;
    const Text type = Left(response, 2);
    for (const KindCode &code : kKindCodes) {
        if (RuntimeStringCompare(type, code.type) == 0) {
            read.kind = code.kind;
            break;
        }
    }

    switch (read.kind) {
    case ResponseKind::Unknown:
        return read;
    case ResponseKind::Identifier:
        break;
    case ResponseKind::Version:
        read.versionLabel = "Version: " + Mid(response, 5, 3);
        break;
    case ResponseKind::Brightness:
        read.brightnessLabel = Str(Val(Mid(response, 5, 3)));
        break;
    case ResponseKind::Frequency:
        read.frequencyIndex = RuntimeCvtReal64ToSInt32(Val(Mid(response, 5, 1)) - 1);
        break;
    }
    read.idLabel = "ID: " + Mid(response, 3, 2);
    return read;
}

} // namespace device
