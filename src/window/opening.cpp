#include "window/wdw_main.h"

#include "framework/core/yield.h"
#include "framework/gui/native_call.h"

namespace {

// The vertical step: the slider's own widget is asked, by name, to stand vertical.
void MakeVertical(const framework::Control& slider) {
    framework::NativeSend(slider.Handle(), "setOrientation", QVariant::fromValue(Qt::Vertical));
}

} // namespace

void wdwMain::Event_Open() {
    for (int32_t i = 0; ControlCount() - 1 >= i; ++i) {
        auto control = Control(i);
        if (framework::RuntimeObjectIsa(control, framework::Slider::Record())) {
            auto slider = framework::RuntimeCheckCast<framework::Slider>(control);
            if (slider->Width() < slider->Height()) {
                MakeVertical(*Control(i));
            }
        }
        framework::RuntimeBackgroundTask();
    }
}

void wdwMain::clBrightness_Open(const std::shared_ptr<framework::Slider>& sender) {
    MakeVertical(*framework::Deref(sender, "slider"));
}

void wdwMain::taReceived_Open(const std::shared_ptr<framework::TextArea>& sender) {
    framework::Deref(sender, "text area")->SetTextFont("Courier");
}

void wdwMain::taSent_Open(const std::shared_ptr<framework::TextArea>& sender) {
    framework::Deref(sender, "text area")->SetTextFont("Courier");
}
