#include "framework/gui/display_text.h"

namespace framework {

Utf8Sequence ReadUtf8(const unsigned char* p, std::size_t available) {
    const unsigned char lead = p[0];
    if (lead < 0x80) {
        return {1, lead};
    }
    int length = 0;
    char32_t code = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {0, 0};
    }
    for (int k = 1; k < length; ++k) {
        if (static_cast<std::size_t>(k) >= available) {
            return {kUtf8Unfinished, 0};
        }
        const unsigned char next = p[k];
        if (next < low || next > high) {
            return {0, 0};
        }
        low = 0x80;
        high = 0xBF;
        code = (code << 6) | (next & 0x3F);
    }
    return {length, code};
}

QString DisplayString(const Text& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
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
        const int length = ReadUtf8(bytes + i, text.size() - i).length;
        if (length <= 0) {
            flushRun();
            shown.append(QChar(bytes[i]));
            runStart = ++i;
        } else {
            i += static_cast<std::size_t>(length);
        }
    }
    flushRun();
    return shown;
}

} // namespace framework
