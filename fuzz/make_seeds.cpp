// Writes the seed inputs under fuzz/corpus from the program's own records and writer, so the
// seeds stay the bytes the program ships. Run by hand after a record changes:
//     build-fuzz/fuzz/fuzz_seeds fuzz/corpus

#include "framework/core/property_record.h"
#include "window/records.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using framework::PropertyRecordWriter;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

void Write(const fs::path& dir, const char* name, const std::string& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << bytes;
}

void PropertyRecordSeeds(const fs::path& dir) {
    Write(dir, "window", records::Window());
    Write(dir, "text_area", records::taReceived());
    Write(dir, "label", records::lbID());
    Write(dir, "push_button", records::btOn());
    Write(dir, "popup_menu", records::pmFreq());
    Write(dir, "serial", records::comPort1());
    Write(dir, "all_types",
          PropertyRecordWriter()
              .AddInt32("Width", -5)
              .AddUInt8("level", 200)
              .AddBoolean("VISIBLE", true)
              .AddSingle("Ratio", 0.5f)
              .AddDouble("Scale", -1.0 / 3.0)
              .AddColor("Backdrop", {1, 2, 3, 4})
              .AddText("Caption", std::string("a\0\xFF~ z", 6))
              .Bytes());
    // Records the reader must refuse, each at a different check.
    Write(dir, "cut_short", records::Window().substr(0, 40));
    Write(dir, "text_count_past_end", "Title " + Bytes({0xFF, 0xFF, 0xFF, 0x7F}) + "x");
    Write(dir, "boolean_two", "Visible " + Bytes({0x02}));
    Write(dir, "undeclared", "Nonesuch " + Bytes({1, 0, 0, 0}));
    Write(dir, "name_without_blank", "Width");
    Write(dir, "value_of_blanks", "Width     Height " + Bytes({0x20, 0, 0, 0}));
    Write(dir, "long_undeclared_name", std::string(600, 'N') + " " + Bytes({1, 0, 0, 0}));
}

void ReceiveSeeds(const fs::path& dir) {
    // Byte 0: bit 0 closes with an empty arrival, bits 1-7 count the arrival lengths that
    // follow (each byte + 1); the rest is the stream.
    const std::string startup = "*P01~*V01123~*B01128~*F014~";
    Write(dir, "startup_one_arrival", Bytes({0x00}) + startup);
    Write(dir, "startup_byte_by_byte", Bytes({0x02, 0x00}) + startup);
    Write(dir, "startup_uneven_cuts", Bytes({0x06, 2, 0, 6}) + startup);
    Write(dir, "every_kind_with_tail",
          Bytes({0x05, 4, 1}) + "*O02~*C03~*L04~*D05~*J02007~*Q017~*V01~*F01x~*B01-1e~*P0");
    Write(dir, "empty_and_unknown_closed",
          Bytes({0x03, 1}) + std::string("~~\r\n*P01~*v01123~\0\xFF~*", 21));
    Write(dir, "no_end_mark", Bytes({0x02, 3}) + "*B01255*B01255*B01255");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus dir>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    PropertyRecordSeeds(root / "property_record_fuzz");
    ReceiveSeeds(root / "receive_fuzz");
    return 0;
}
