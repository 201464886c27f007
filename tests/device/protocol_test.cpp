#include "device/protocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace std::string_literals;
using device::ResponseKind;
using device::Text;
using Pieces = std::vector<Text>;

TEST(Commands, FixedCommandsUseCapitalOFillers) {
    const Text all[] = {device::kStartupCommands[0], device::kStartupCommands[1],
                        device::kStartupCommands[2], device::kStartupCommands[3],
                        device::kOnCommand,          device::kOffCommand};
    Text letters;
    for (const Text& command : all) {
        EXPECT_EQ(command, ">"s + command[1] + "\x4F\x4F\x4F\x3C") << command;
        letters += command[1];
    }
    EXPECT_EQ(letters, "SJVQLD");
}

TEST(Commands, BrightnessAndFrequencyBytes) {
    const std::pair<Text, Text> cases[] = {
        {device::BrightnessCommand(0), "\x3E\x42\x30\x30\x30\x3C"},
        {device::BrightnessCommand(7), "\x3E\x42\x30\x30\x37\x3C"},
        {device::BrightnessCommand(42), "\x3E\x42\x30\x34\x32\x3C"},
        {device::BrightnessCommand(255), "\x3E\x42\x32\x35\x35\x3C"},
        {device::FrequencyCommand(0), "\x3E\x46\x4F\x4F\x31\x3C"},
        {device::FrequencyCommand(6), "\x3E\x46\x4F\x4F\x37\x3C"},
        {device::FrequencyCommand(9), ">FOO10<"},
        {device::FrequencyCommand(-1), ">FOO0<"},
        {device::FrequencyCommand(INT32_MAX), ">FOO2147483648<"},
    };
    for (const auto& [made, bytes] : cases) {
        EXPECT_EQ(made, bytes);
    }
}

struct CutStep {
    Text newText;
    Pieces pieces;
    Text buffer;
};

// Each scenario starts from an empty buffer and feeds its steps in order.
TEST(ReceiveBuffer, CutsAtEndMarksAndKeepsUnterminatedTail) {
    const std::vector<std::vector<CutStep>> scenarios = {
        {{"*P01~", {"*P01", ""}, ""}},
        {{"*P01~*V01123~*B01255~", {"*P01", "*V01123", "*B01255", ""}, ""}},
        {{"*V01", {}, "*V01"}, {"12", {}, "*V0112"}, {"3~", {"*V01123", ""}, ""}},
        {{"*B01200~*F0", {"*B01200"}, "*F0"}, {"14~", {"*F014", ""}, ""}},
        {{"*V0", {}, "*V0"}, {"1", {}, "*V01"}, {"", {"*V01"}, ""}},
        {{"", {""}, ""}, {"", {""}, ""}},
        {{"~~~", {"", "", "", ""}, ""}},
        {{"~", {"", ""}, ""}, {"~*P", {""}, "*P"}, {"~~", {"*P", "", ""}, ""}},
        {{"\0\xff\r\n"s, {}, "\0\xff\r\n"s}, {"~"s, {"\0\xff\r\n"s, ""}, ""}},
    };
    for (size_t s = 0; s < scenarios.size(); ++s) {
        Text buffer;
        for (size_t i = 0; i < scenarios[s].size(); ++i) {
            const CutStep& step = scenarios[s][i];
            const device::ReceiveCut cut = device::CutReceived(buffer, step.newText);
            EXPECT_EQ(cut.pieces, step.pieces) << "scenario " << s << " step " << i;
            EXPECT_EQ(buffer, step.buffer) << "scenario " << s << " step " << i;
        }
    }
}

TEST(ReceiveBuffer, SettlesMarksAlreadyInTheBuffer) {
    Text buffer = "a~b";
    EXPECT_EQ(device::CutReceived(buffer, "c").pieces, Pieces{"a"});
    EXPECT_EQ(buffer, "bc");
}

// Every response comes out once, whole and in order, wherever the line cuts the stream. Only
// non-empty arrivals: an empty one hands over the tail as a whole response (see above).
TEST(ReceiveBuffer, StreamCutAnywhereYieldsEveryResponseOnce) {
    const Pieces responses = {"*P01", "*V01123", "\r\n*B01\0\xff"s, "*F014", "x"};
    for (const bool closed : {true, false}) {
        Text stream;
        for (const Text& r : responses) {
            stream += r + "~";
        }
        if (!closed) {
            stream.pop_back();
        }
        const size_t n = stream.size();
        for (size_t a = 0; a <= n; ++a) {
            for (size_t b = a; b <= n; ++b) {
                Text buffer;
                Pieces handled;
                Pieces arrivals;
                for (const Text& chunk :
                     {stream.substr(0, a), stream.substr(a, b - a), stream.substr(b)}) {
                    if (!chunk.empty()) {
                        arrivals.push_back(chunk);
                    }
                }
                arrivals.push_back(Text()); // the closing flush
                for (const Text& arrival : arrivals) {
                    for (Text& piece : device::CutReceived(buffer, arrival).pieces) {
                        if (!piece.empty()) {
                            handled.push_back(std::move(piece));
                        }
                    }
                }
                EXPECT_EQ(handled, responses) << "closed " << closed << " cuts " << a << "," << b;
                EXPECT_EQ(buffer, "");
            }
        }
    }
}

struct ReadCase {
    Text response;
    ResponseKind kind;
    Text id;
    Text version = "";
    Text brightness = "";
    int32_t frequency = -1;
};

TEST(ReadResponse, ReadsFieldsByType) {
    using K = ResponseKind;
    const ReadCase cases[] = {
        {"*P01", K::Identifier, "ID: 01"},
        {"*O02", K::Identifier, "ID: 02"},
        {"*C03", K::Identifier, "ID: 03"},
        {"*L04x", K::Identifier, "ID: 04"},
        {"*D05", K::Identifier, "ID: 05"},
        {"*P", K::Identifier, "ID: "},
        {"*P0", K::Identifier, "ID: 0"},
        {"*V01123", K::Version, "ID: 01", "Version: 123"},
        {"*V0112345", K::Version, "ID: 01", "Version: 123"},
        {"*V01\0\xff"s, K::Version, "ID: 01", "Version: \0\xff"s},
        {"*V01", K::Version, "ID: 01", "Version: "},
        {"*B01255", K::Brightness, "ID: 01", "", "255"},
        {"*J02007", K::Brightness, "ID: 02", "", "7"},
        {"*B01abc", K::Brightness, "ID: 01", "", "0"},
        {"*B012555", K::Brightness, "ID: 01", "", "255"},
        {"*B01", K::Brightness, "ID: 01", "", "0"},
        {"*F011", K::Frequency, "ID: 01", "", "", 0},
        {"*Q017", K::Frequency, "ID: 01", "", "", 6},
        {"*F018", K::Frequency, "ID: 01", "", "", 7},
        {"*F019", K::Frequency, "ID: 01", "", "", 8},
        {"*F0123", K::Frequency, "ID: 01", "", "", 1},
        {"*F010", K::Frequency, "ID: 01", "", "", -1},
        {"*F01x", K::Frequency, "ID: 01", "", "", -1},
        {"*F01", K::Frequency, "ID: 01", "", "", -1},
        {"", K::Unknown, ""},
        {"*", K::Unknown, ""},
        {"\r\n*P01", K::Unknown, ""},
        {"*v01123", K::Unknown, ""},
        {"*X01255", K::Unknown, ""},
        {"P*01", K::Unknown, ""},
    };
    for (const ReadCase& c : cases) {
        const device::Response read = device::ReadResponse(c.response);
        EXPECT_EQ(read.kind, c.kind) << c.response;
        EXPECT_EQ(read.idLabel, c.id) << c.response;
        EXPECT_EQ(read.versionLabel, c.version) << c.response;
        EXPECT_EQ(read.brightnessLabel, c.brightness) << c.response;
        EXPECT_EQ(read.frequencyIndex, c.frequency) << c.response;
    }
}
