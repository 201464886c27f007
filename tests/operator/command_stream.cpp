#include "operator/command_stream.h"

#include <array>

namespace {

// '#' stands for any digit; the brightness and frequency ranges are checked once whole.
constexpr std::array<const char*, 8> kShapes{">SOOO<", ">JOOO<", ">VOOO<", ">QOOO<",
                                             ">LOOO<", ">DOOO<", ">B###<", ">FOO#<"};

bool FitsShape(const std::string& bytes, const char* shape) {
    const std::string s(shape);
    if (bytes.size() > s.size()) {
        return false;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (s[i] == '#' ? (c < '0' || c > '9') : c != s[i]) {
            return false;
        }
    }
    return true;
}

bool InRange(const std::string& command) {
    if (command[1] == 'B') {
        return std::stoi(command.substr(2, 3)) <= 255;
    }
    if (command[1] == 'F') {
        return command[4] >= '1' && command[4] <= '7';
    }
    return true;
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            static const char* hex = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

} // namespace

bool StartsCommand(const std::string& bytes) {
    for (const char* shape : kShapes) {
        if (FitsShape(bytes, shape)) {
            // A whole command must also be in range; its start cannot be judged yet.
            return bytes.size() < 6 || InRange(bytes);
        }
    }
    return false;
}

bool IsCommand(const std::string& bytes) {
    return bytes.size() == 6 && StartsCommand(bytes);
}

bool CommandStream::Feed(const std::string& bytes) {
    if (!error_.empty()) {
        return false;
    }
    for (const char c : bytes) {
        pending_ += c;
        ++offset_;
        if (!StartsCommand(pending_)) {
            error_ = "byte " + std::to_string(offset_ - 1) + " on the line breaks a command: \"" +
                     Printable(pending_) + "\" after " + std::to_string(commands_) +
                     " whole commands";
            return false;
        }
        if (IsCommand(pending_)) {
            ++commands_;
            if (pending_ == ">LOOO<") {
                ++onCommands_;
            }
            pending_.clear();
        }
    }
    return true;
}
