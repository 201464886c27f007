#include "framework/core/property_record.h"
#include "window/records.h"
#include "window/wdw_main.h"

#include <array>

namespace {

using framework::ClassRecord;

template <class C> std::shared_ptr<C> Find(class wdwMain& window, const char* name) {
    return framework::RuntimeCheckCast<C>(window.ControlByName(name));
}

// Creates, constructs, adds and sets one control; its events are connected after.
template <class C, class Construct>
void Make(class wdwMain& window, const ClassRecord& cls, const char* name,
          const std::string& (*record)(), Construct construct) {
    auto control = window.New(cls);
    construct(*control);
    window.AddControl(name, control);
    framework::SetProperties(*Find<C>(window, name), record());
}

template <class C, class W>
void Connect(const std::shared_ptr<W>& window, const char* name, const char* event,
             void (W::*handler)(const std::shared_ptr<C>&), const char* signature) {
    framework::RuntimeAddEventHandler(
        Find<C>(*window, name), event,
        framework::RuntimeCreateDelegate(handler, window, signature,
                                         framework::kDelegateWeakBinding));
}

void ConstructRect(framework::Control& control) {
    static_cast<framework::RectControl&>(control).Constructor();
}

} // namespace

void wdwMain::CreateControls() {
    CreateControls0();
}

void wdwMain::CreateControls0() {
    using namespace framework;
    auto self = std::static_pointer_cast<class wdwMain>(shared_from_this());
    auto& w = *self;

    Make<Serial>(w, wrapper_comPort1::Record(), "comPort1", &records::comPort1,
                 [](framework::Control& c) { static_cast<wrapper_comPort1&>(c).Constructor(); });
    Connect<Serial>(self, "comPort1", "DataAvailable", &wdwMain::comPort1_DataAvailable,
                    "( Serial )");

    Make<PopupMenu>(w, PopupMenu::Record(), "pmPorts", &records::pmPorts, ConstructRect);
    Connect<PopupMenu>(self, "pmPorts", "Open", &wdwMain::pmPorts_Open, "( PopupMenu )");
    Connect<PopupMenu>(self, "pmPorts", "Change", &wdwMain::pmPorts_Change, "( PopupMenu )");

    Make<PushButton>(w, PushButton::Record(), "btOn", &records::btOn, ConstructRect);
    Connect<PushButton>(self, "btOn", "Action", &wdwMain::btOn_Action, "( PushButton )");

    Make<PushButton>(w, PushButton::Record(), "btOff", &records::btOff, ConstructRect);
    Connect<PushButton>(self, "btOff", "Action", &wdwMain::btOff_Action, "( PushButton )");

    Make<Slider>(w, Slider::Record(), "clBrightness", &records::clBrightness, ConstructRect);
    Connect<Slider>(self, "clBrightness", "Open", &wdwMain::clBrightness_Open, "( Slider )");
    Connect<Slider>(self, "clBrightness", "ValueChanged", &wdwMain::clBrightness_ValueChanged,
                    "( Slider )");

    Make<TextArea>(w, TextArea::Record(), "taReceived", &records::taReceived, ConstructRect);
    Connect<TextArea>(self, "taReceived", "Open", &wdwMain::taReceived_Open, "( TextArea )");

    Make<TextArea>(w, TextArea::Record(), "taSent", &records::taSent, ConstructRect);
    Connect<TextArea>(self, "taSent", "Open", &wdwMain::taSent_Open, "( TextArea )");

    // The labels have no handlers.
    const std::array<std::pair<const char*, const std::string& (*)()>, 7> labels{{
        {"Label1", &records::Label1},
        {"Label2", &records::Label2},
        {"Label3", &records::Label3},
        {"lbVersion", &records::lbVersion},
        {"lbBrightness", &records::lbBrightness},
        {"Label6", &records::Label6},
        {"lbID", &records::lbID},
    }};
    for (const auto& [name, record] : labels) {
        Make<Label>(w, Label::Record(), name, record, ConstructRect);
    }

    Make<PopupMenu>(w, PopupMenu::Record(), "pmFreq", &records::pmFreq, ConstructRect);
    Connect<PopupMenu>(self, "pmFreq", "Change", &wdwMain::pmFreq_Change, "( PopupMenu )");
}

#define CONTROL_ACCESSOR(Type, name)                                                               \
    std::shared_ptr<framework::Type> wdwMain::name() {                                             \
        return Find<framework::Type>(*this, #name);                                                \
    }

CONTROL_ACCESSOR(Serial, comPort1)
CONTROL_ACCESSOR(PopupMenu, pmPorts)
CONTROL_ACCESSOR(PushButton, btOn)
CONTROL_ACCESSOR(PushButton, btOff)
CONTROL_ACCESSOR(Slider, clBrightness)
CONTROL_ACCESSOR(TextArea, taReceived)
CONTROL_ACCESSOR(TextArea, taSent)
CONTROL_ACCESSOR(Label, Label1)
CONTROL_ACCESSOR(Label, Label2)
CONTROL_ACCESSOR(Label, Label3)
CONTROL_ACCESSOR(Label, lbVersion)
CONTROL_ACCESSOR(Label, lbBrightness)
CONTROL_ACCESSOR(Label, Label6)
CONTROL_ACCESSOR(Label, lbID)
CONTROL_ACCESSOR(PopupMenu, pmFreq)

#undef CONTROL_ACCESSOR
