#include "framework/core/property_record.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

using namespace framework;

namespace {

// A control with one property of every type a record holds; each setter also logs its name,
// so a test sees what was set and in which order.
class Gadget : public Object {
    FRAMEWORK_CLASS()
public:
    void SetWidth(int32_t v) { Set(width, v, "Width"); }
    void SetLevel(uint8_t v) { Set(level, v, "Level"); }
    void SetVisible(bool v) { Set(visible, v, "Visible"); }
    void SetRatio(float v) { Set(ratio, v, "Ratio"); }
    void SetScale(double v) { Set(scale, v, "Scale"); }
    void SetBackdrop(Color v) { Set(backdrop, v, "Backdrop"); }
    void SetCaption(const Text &v) {
        if (v == "refuse") {
            throw std::invalid_argument("caption refused");
        }
        Set(caption, v, "Caption");
    }

    std::vector<std::string> log;
    int32_t width = -1;
    uint8_t level = 0;
    bool visible = false;
    float ratio = 0;
    double scale = 0;
    Color backdrop{9, 9, 9, 9};
    Text caption = "unset";

protected:
    template <class V> void Set(V &field, const V &v, const char *name) {
        log.emplace_back(name);
        field = v;
    }
};

// Adds a property of its own to those of its base.
class Dial : public Gadget {
    FRAMEWORK_CLASS()
public:
    void SetMacProcId(int32_t v) { Set(macProcId, v, "MacProcId"); }
    int32_t macProcId = 0;
};

const ClassRecord &Gadget::Record() {
    static const ClassRecord record{
        "PropTestGadget",
        nullptr,
        {},
        {
            MakeProperty("Width", PropertyType::Int32, &Gadget::SetWidth),
            MakeProperty("Level", PropertyType::UInt8, &Gadget::SetLevel),
            MakeProperty("Visible", PropertyType::Boolean, &Gadget::SetVisible),
            MakeProperty("Ratio", PropertyType::Single, &Gadget::SetRatio),
            MakeProperty("Scale", PropertyType::Double, &Gadget::SetScale),
            MakeProperty("Backdrop", PropertyType::Color, &Gadget::SetBackdrop),
            MakeProperty("Caption", PropertyType::Text, &Gadget::SetCaption),
        }};
    return record;
}

const ClassRecord &Dial::Record() {
    static const ClassRecord record{
        "PropTestDial",
        &Gadget::Record(),
        {},
        {MakeProperty("MacProcId", PropertyType::Int32, &Dial::SetMacProcId)}};
    return record;
}

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

} // namespace

TEST(PropertyRecord, EveryTypeRoundTripsThroughWriterAndReader) {
    const Color teal{0x00, 0x80, 0x80, 0x00};
    const std::string record = PropertyRecordWriter()
                                   .AddInt32("Width", -123456)
                                   .AddUInt8("Level", 200)
                                   .AddBoolean("Visible", true)
                                   .AddSingle("Ratio", 0.1f)
                                   .AddDouble("Scale", -1.0 / 3.0)
                                   .AddColor("Backdrop", teal)
                                   .AddText("Caption", Text("a\0\xFF z", 5))
                                   .AddInt32("MacProcId", 77)
                                   .Bytes();
    Dial d;
    EXPECT_EQ(SetProperties(d, record), 8);
    EXPECT_EQ(d.width, -123456);
    EXPECT_EQ(d.level, 200);
    EXPECT_TRUE(d.visible);
    EXPECT_EQ(d.ratio, 0.1f);
    EXPECT_EQ(d.scale, -1.0 / 3.0);
    EXPECT_EQ(d.backdrop, teal);
    EXPECT_EQ(d.caption, Text("a\0\xFF z", 5));
    EXPECT_EQ(d.macProcId, 77);
}

TEST(PropertyRecord, WriterProducesTheExactBytes) {
    struct Case {
        std::string got;
        std::string want;
    };
    using W = PropertyRecordWriter;
    const std::vector<Case> cases = {
        {W().AddInt32("Width", 800).Bytes(), "Width " + Bytes({0x20, 0x03, 0x00, 0x00})},
        {W().AddInt32("Width", std::numeric_limits<int32_t>::min()).Bytes(),
         "Width " + Bytes({0x00, 0x00, 0x00, 0x80})},
        {W().AddInt32("Width", -1).Bytes(), "Width " + Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {W().AddUInt8("Level", 0xAB).Bytes(), "Level " + Bytes({0xAB})},
        {W().AddBoolean("Visible", true).AddBoolean("Visible", false).Bytes(),
         "Visible " + Bytes({0x01}) + "Visible " + Bytes({0x00})},
        {W().AddSingle("Ratio", 1.0f).Bytes(), "Ratio " + Bytes({0x00, 0x00, 0x80, 0x3F})},
        {W().AddDouble("Scale", 1.0).Bytes(), "Scale " + Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
        {W().AddColor("Backdrop", {0xFF, 0xFF, 0xFF, 0x00}).Bytes(),
         "Backdrop " + Bytes({0xFF, 0xFF, 0xFF, 0x00})},
        {W().AddColor("Backdrop", {0x00, 0x00, 0x00, 0x00}).Bytes(),
         "Backdrop " + Bytes({0x00, 0x00, 0x00, 0x00})},
        {W().AddColor("Backdrop", {0x11, 0x22, 0x33, 0x44}).Bytes(),
         "Backdrop " + Bytes({0x11, 0x22, 0x33, 0x44})},
        {W().AddText("Caption", "Hi").Bytes(), "Caption " + Bytes({2, 0, 0, 0}) + "Hi"},
        {W().AddText("Caption", "").Bytes(), "Caption " + Bytes({0, 0, 0, 0})},
        {W().AddText("Caption", std::string(0x0102, 'x')).Bytes(),
         "Caption " + Bytes({0x02, 0x01, 0, 0}) + std::string(0x0102, 'x')}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
    }
}

TEST(PropertyRecord, NamesMatchWithoutRegardToCase) {
    Dial d;
    const std::string record =
        PropertyRecordWriter().AddInt32("MacProcID", 5).AddInt32("wIdTh", 6).Bytes();
    EXPECT_EQ(SetProperties(d, record), 2);
    EXPECT_EQ(d.macProcId, 5);
    EXPECT_EQ(d.width, 6);
}

TEST(PropertyRecord, OnlyTheFirstBlankEndsTheName) {
    // Width 800 starts with 0x20, Level 32 is 0x20, and a text may start with a blank.
    Gadget g;
    const std::string record = PropertyRecordWriter()
                                   .AddInt32("Width", 800)
                                   .AddUInt8("Level", 0x20)
                                   .AddText("Caption", "  two blanks")
                                   .Bytes();
    EXPECT_EQ(SetProperties(g, record), 3);
    EXPECT_EQ(g.width, 800);
    EXPECT_EQ(g.level, 0x20);
    EXPECT_EQ(g.caption, "  two blanks");
}

TEST(PropertyRecord, MalformedRecordRaisesNamingOffsetAndPropertyAndSetsNothing) {
    // Each record starts with a good entry, so a reader that sets as it goes is caught.
    const std::string good = PropertyRecordWriter().AddInt32("Width", 7).Bytes(); // 10 bytes
    struct Case {
        const char *what;
        std::string tail;
        std::string offset;   // expected in the message
        std::string property; // expected in the message, if known
    };
    const std::vector<Case> cases = {
        {"name without blank", "Caption", "offset 10", "Caption"},
        {"empty name", " " + Bytes({1}), "offset 10", ""},
        {"blank only", " ", "offset 10", ""},
        {"hyphen in name", "Wi-dth " + Bytes({0, 0, 0, 0}), "offset 10", ""},
        {"high byte in name", "Wid\xE9th " + Bytes({0, 0, 0, 0}), "offset 10", ""},
        {"nul in name", Bytes({'W', 0, ' ', 0, 0, 0, 0}), "offset 10", ""},
        {"tab ends name", "Width\t" + Bytes({0, 0, 0, 0}), "offset 10", ""},
        {"undeclared", "Height " + Bytes({0, 0, 0, 0}), "offset 10", "Height"},
        {"name only a derived class declares", "MacProcId " + Bytes({0, 0, 0, 0}), "offset 10",
         "MacProcId"},
        {"Int32 cut short", "Width " + Bytes({0x20, 0x03}), "offset 16", "Width"},
        {"UInt8 missing", "Level ", "offset 16", "Level"},
        {"Boolean missing", "Visible ", "offset 18", "Visible"},
        {"Single cut short", "Ratio " + Bytes({0, 0, 0}), "offset 16", "Ratio"},
        {"Double cut short", "Scale " + Bytes({0, 0, 0, 0, 0, 0, 0}), "offset 16", "Scale"},
        {"Color cut short", "Backdrop " + Bytes({0xFF, 0xFF, 0xFF}), "offset 19", "Backdrop"},
        {"Text count cut short", "Caption " + Bytes({1, 0}), "offset 18", "Caption"},
        {"Text shorter than count", "Caption " + Bytes({5, 0, 0, 0}) + "abc", "offset 22",
         "Caption"},
        {"Text count near 2^32", "Caption " + Bytes({0xFF, 0xFF, 0xFF, 0xFF}) + "abc", "offset 22",
         "Caption"},
        {"Text count 2^31", "Caption " + Bytes({0, 0, 0, 0x80}), "offset 22", "Caption"},
        {"Boolean 02", "Visible " + Bytes({0x02}), "offset 18", "Visible"},
        {"Boolean FF", "Visible " + Bytes({0xFF}), "offset 18", "Visible"},
        {"Boolean blank", "Visible  ", "offset 18", "Visible"}};
    for (const Case &c : cases) {
        Gadget g;
        try {
            SetProperties(g, good + c.tail);
            ADD_FAILURE() << c.what << ": no exception";
        } catch (const PropertyRecordException &e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(c.offset), std::string::npos) << c.what << ": " << message;
            EXPECT_NE(message.find(c.property), std::string::npos) << c.what << ": " << message;
        }
        EXPECT_TRUE(g.log.empty()) << c.what;
        EXPECT_EQ(g.width, -1) << c.what;
    }
}

TEST(PropertyRecord, SetsInRecordOrderAndASetterThatThrowsStopsTheRest) {
    Gadget g;
    const std::string record = PropertyRecordWriter()
                                   .AddText("Caption", "first")
                                   .AddInt32("Width", 3)
                                   .AddText("Caption", "refuse")
                                   .AddUInt8("Level", 9)
                                   .Bytes();
    EXPECT_THROW(SetProperties(g, record), std::invalid_argument);
    EXPECT_EQ(g.log, (std::vector<std::string>{"Caption", "Width"}));
    EXPECT_EQ(g.level, 0);
}
