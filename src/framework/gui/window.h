#pragma once

#include "framework/core/object.h"
#include "framework/gui/delegate.h"
#include "framework/gui/runtime.h"

#include <QPointer>

#include <map>
#include <memory>
#include <vector>

#include <QMainWindow>
class QMenuBar;
#include <QWidget>

namespace framework {

class Control;
class MenuBar;
class MenuItem;

// A top-level window with a menu bar and a content area where controls stand at absolute
// positions. Width and Height are the content area's; the menu bar sits above it.
class Window : public Object {
    FRAMEWORK_CLASS()
public:
    Window();
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Builds the window: raises Layout, CreateControls and AddMenuHandlers, shows it when
    // visible, then raises the Open events of its controls and of the window.
    void Constructor();

    std::shared_ptr<framework::MenuBar> MenuBar() const { return menuBar_; }
    void SetMenuBar(std::shared_ptr<framework::MenuBar> bar);

    // A new, not yet constructed control of the class, made for this window.
    std::shared_ptr<framework::Control> New(const ClassRecord& cls);
    void AddControl(const framework::Text& name, const std::shared_ptr<framework::Control>& c);
    // The control added under that name, or nil.
    std::shared_ptr<framework::Control> ControlByName(const framework::Text& name) const;
    int32_t ControlCount() const;
    // OutOfBoundsException outside 0..ControlCount-1.
    std::shared_ptr<framework::Control> Control(int32_t index) const;

    // Choosing the item of that name runs the handler on this window.
    void AddMenuHandler(const framework::Text& itemName, const Delegate& handler);
    // Runs this window's handler for the item, if any; true when it handled the choice.
    bool HandleMenuChoice(const MenuItem& item);

    // Content area size and its limits.
    int32_t Width() const;
    void SetWidth(int32_t value) { Change(width_, value, &Window::ApplyGeometry); }
    int32_t Height() const;
    void SetHeight(int32_t value) { Change(height_, value, &Window::ApplyGeometry); }
    void SetMinWidth(int32_t value) { Change(minWidth_, value, &Window::ApplyGeometry); }
    void SetMinHeight(int32_t value) { Change(minHeight_, value, &Window::ApplyGeometry); }
    void SetMaxWidth(int32_t value) { Change(maxWidth_, value, &Window::ApplyGeometry); }
    void SetMaxHeight(int32_t value) { Change(maxHeight_, value, &Window::ApplyGeometry); }
    void SetTitle(const framework::Text& title);
    void SetCloseButton(bool value) { Change(closeButton_, value, &Window::ApplyFlags); }
    void SetResizeable(bool value);
    void SetMaximizeButton(bool value) { Change(maximizeButton_, value, &Window::ApplyFlags); }
    void SetMinimizeButton(bool value) { Change(minimizeButton_, value, &Window::ApplyFlags); }
    void SetPlacement(int32_t value) { placement_ = value; }
    void SetVisible(bool value);
    void SetFullScreen(bool value);
    void SetHasBackColor(bool value) { Change(hasBackColor_, value, &Window::ApplyBackColor); }
    void SetBackColor(Color value) { Change(backColor_, value, &Window::ApplyBackColor); }
    void SetMenuBarVisible(bool value);

    QMainWindow* Widget() const { return widget_; }
    QWidget* Content() const { return content_; }

    // The window's events; a program's window class overrides those it handles.
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers(const std::shared_ptr<Window>& window) { (void)window; }
    virtual void Open() {}

    // The framework's own: the window was closed by the operator.
    void Closed();
    // Orders keyboard focus by the controls' TabIndex.
    void ApplyTabOrder();

private:
    template <class T> void Change(T& field, const T& value, void (Window::*apply)()) {
        CheckMainThread();
        field = value;
        (this->*apply)();
    }
    void ApplyGeometry();
    void ApplyFlags();
    void ApplyBackColor();
    void RebuildMenuBar();
    void PlaceLockedControls(int32_t oldWidth, int32_t oldHeight);
    int32_t MenuBarHeight() const;

    QPointer<QMainWindow> widget_;
    QWidget* content_ = nullptr;
    QMenuBar* qtMenuBar_ = nullptr;
    std::shared_ptr<framework::MenuBar> menuBar_;
    std::vector<std::shared_ptr<framework::Control>> controls_;
    std::map<framework::Text, Delegate> menuHandlers_;
    bool constructed_ = false;

    int32_t width_ = 300, height_ = 300;
    int32_t minWidth_ = 64, minHeight_ = 64, maxWidth_ = 32000, maxHeight_ = 32000;
    bool closeButton_ = true, resizeable_ = true, maximizeButton_ = true, minimizeButton_ = true;
    int32_t placement_ = 0;
    bool visible_ = true, fullScreen_ = false, hasBackColor_ = false;
    Color backColor_{255, 255, 255, 0};
    bool menuBarVisible_ = true;
};

// The open window whose class has that name, or nil.
std::shared_ptr<Window> GetImplicitWindow(const framework::Text& className);
// The window the operator works in: the active one, else the one opened last.
std::shared_ptr<Window> FrontWindow();
// The framework holds every open window until it closes.
const std::vector<std::shared_ptr<Window>>& OpenWindows();
void CloseAllWindows();

} // namespace framework
