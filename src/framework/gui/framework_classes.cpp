#include "framework/gui/application.h"
#include "framework/gui/label.h"
#include "framework/gui/menu.h"
#include "framework/gui/popup_menu.h"
#include "framework/gui/push_button.h"
#include "framework/gui/serial.h"
#include "framework/gui/slider.h"
#include "framework/gui/text_area.h"
#include "framework/gui/window.h"

namespace framework {

void RegisterFrameworkClasses() {
    for (auto record :
         {&Application::Record, &MenuItem::Record, &MenuBar::Record, &QuitMenuItem::Record,
          &ApplicationMenuItem::Record, &Window::Record, &Control::Record, &RectControl::Record,
          &PopupMenu::Record, &PushButton::Record, &Slider::Record, &TextArea::Record,
          &Label::Record, &Serial::Record, &SerialPort::Record}) {
        RegisterClass(record());
    }
}

} // namespace framework
