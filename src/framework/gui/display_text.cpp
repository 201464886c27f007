#include "framework/gui/display_text.h"

namespace framework {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the byte there starts none.
std::size_t Utf8SequenceLength(const Text& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t length;
    uint32_t minimum;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size()) {
        return 0;
    }
    uint32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

QString DisplayString(const Text& text) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    std::size_t runStart = 0;
    std::size_t i = 0;
    const auto flushRun = [&] {
        if (i > runStart) {
            shown.append(
                QString::fromUtf8(text.data() + runStart, static_cast<qsizetype>(i - runStart)));
        }
    };
    while (i < text.size()) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            flushRun();
            shown.append(QChar(static_cast<unsigned char>(text[i])));
            runStart = ++i;
        } else {
            i += length;
        }
    }
    flushRun();
    return shown;
}

Text FromDisplayString(const QString& text) {
    return text.toStdString();
}

} // namespace framework
