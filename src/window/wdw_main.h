#pragma once

#include "framework/core/text.h"
#include "framework/gui/label.h"
#include "framework/gui/menu.h"
#include "framework/gui/popup_menu.h"
#include "framework/gui/push_button.h"
#include "framework/gui/serial.h"
#include "framework/gui/slider.h"
#include "framework/gui/text_area.h"
#include "framework/gui/window.h"

#include <memory>

// The class of the serial control: a Serial that knows its window only weakly.
class wrapper_comPort1 : public framework::Serial {
    FRAMEWORK_CLASS()
public:
    // Not given a value by the tool; the framework's control-array index.
    int32_t Index = 0;

    void SetWindow(const std::shared_ptr<framework::Window>& window) override;
    std::shared_ptr<framework::Window> Window() const override;
    int32_t GetIndex() const { return Index; }
    void SetIndex(int32_t value) { Index = value; }
    void Constructor() {}

private:
    // Points back without keeping the window alive: the window owns its controls.
    std::weak_ptr<framework::Window> ownerWindow;
};

// The tool's one window: the device's controls, the logs, and the protocol methods.
class wdwMain : public framework::Window {
    FRAMEWORK_CLASS()
public:
    // Received text that no end mark has closed yet.
    framework::Text ReadBuffer;
    // Set just before the program itself changes pmFreq's selection, so that change sends
    // nothing.
    bool selfChange = false;

    // Window events.
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers(const std::shared_ptr<framework::Window>& window) override;
    void Open() override { Event_Open(); }

    void CreateControls0();
    void Event_Open();

    // Control events.
    void comPort1_DataAvailable(const std::shared_ptr<framework::Serial>& sender);
    void pmPorts_Open(const std::shared_ptr<framework::PopupMenu>& sender);
    void pmPorts_Change(const std::shared_ptr<framework::PopupMenu>& sender);
    void btOn_Action(const std::shared_ptr<framework::PushButton>& sender);
    void btOff_Action(const std::shared_ptr<framework::PushButton>& sender);
    void clBrightness_Open(const std::shared_ptr<framework::Slider>& sender);
    void clBrightness_ValueChanged(const std::shared_ptr<framework::Slider>& sender);
    void taReceived_Open(const std::shared_ptr<framework::TextArea>& sender);
    void taSent_Open(const std::shared_ptr<framework::TextArea>& sender);
    void pmFreq_Change(const std::shared_ptr<framework::PopupMenu>& sender);

    // Menu items of the window's menu bar, by name.
    std::shared_ptr<framework::MenuItem> HelpMenu();
    std::shared_ptr<framework::ApplicationMenuItem> HelpAbout();
    std::shared_ptr<framework::MenuItem> UntitledSeparator();
    std::shared_ptr<framework::MenuItem> EditMenu();
    std::shared_ptr<framework::MenuItem> EditSelectAll();
    std::shared_ptr<framework::MenuItem> EditSeparator2();
    std::shared_ptr<framework::MenuItem> EditClear();
    std::shared_ptr<framework::MenuItem> EditPaste();
    std::shared_ptr<framework::MenuItem> EditCopy();
    std::shared_ptr<framework::MenuItem> EditCut();
    std::shared_ptr<framework::MenuItem> EditSeparator1();
    std::shared_ptr<framework::MenuItem> EditUndo();
    std::shared_ptr<framework::MenuItem> FileMenu();
    std::shared_ptr<framework::QuitMenuItem> FileQuit();
    bool HelpAbout_Action();

    // Controls, looked up by name at every call.
    std::shared_ptr<framework::Serial> comPort1();
    std::shared_ptr<framework::PopupMenu> pmPorts();
    std::shared_ptr<framework::PushButton> btOn();
    std::shared_ptr<framework::PushButton> btOff();
    std::shared_ptr<framework::Slider> clBrightness();
    std::shared_ptr<framework::TextArea> taReceived();
    std::shared_ptr<framework::TextArea> taSent();
    std::shared_ptr<framework::Label> Label1();
    std::shared_ptr<framework::Label> Label2();
    std::shared_ptr<framework::Label> Label3();
    std::shared_ptr<framework::Label> lbVersion();
    std::shared_ptr<framework::Label> lbBrightness();
    std::shared_ptr<framework::Label> Label6();
    std::shared_ptr<framework::Label> lbID();
    std::shared_ptr<framework::PopupMenu> pmFreq();

    // The device protocol.
    void SendCommand(const framework::Text& command);
    void Wait(int32_t seconds);
    void LogResponse(const framework::Text& response);
    void ProcessResponse(const framework::Text& response);
};

using wdwMainRef = std::shared_ptr<class wdwMain>;

// The main window, created on the first call; later calls give the open one.
wdwMainRef wdwMain();

// The log scroll rule: the line of the end of the text becomes the first visible one, or the
// line before it from line 3 on.
void ScrollLogToEnd(framework::TextArea& log);
