#pragma once

#include "framework/core/object.h"
#include "framework/gui/delegate.h"
#include "framework/gui/runtime.h"

#include <QColor>
#include <QPointer>

#include <map>
#include <memory>
#include <vector>

#include <QWidget>

namespace framework {

class Window;

// An event a control class declares, with the signature a handler of it must have.
struct EventDecl {
    const char* name;
    const char* signature;
};

// Anything a window holds under a name: visible controls and non-visual ones alike.
class Control : public Object {
    FRAMEWORK_CLASS()
public:
    const framework::Text& Name() const { return name_; }
    void SetName(const framework::Text& name) { name_ = name; }

    // The framework gives a control its window when the window adds it; the control points
    // back weakly, the window owns it.
    virtual void SetWindow(const std::shared_ptr<framework::Window>& window);
    virtual std::shared_ptr<framework::Window> Window() const;

    // The control's Qt widget, or null for a non-visual control.
    virtual QWidget* Handle() const { return nullptr; }

    // The events this class declares.
    virtual const std::vector<EventDecl>& Events() const;
    // Attaches a handler; DelegateSignatureException when the event is unknown to the class or
    // the delegate's signature does not fit it; a second handler for one event is an error.
    void AddEventHandler(const framework::Text& event, const Delegate& handler);
    // Runs the event's handler, if any, with this control, through the exception helper.
    void RaiseEvent(const framework::Text& event);

private:
    framework::Text name_;
    std::weak_ptr<framework::Window> window_;
    std::map<framework::Text, std::function<void(const ObjectRef&)>> handlers_;
};

// A framework colour as Qt's; the framework's alpha 0 is opaque.
QColor ToQColor(Color color);

// Attaches a delegate to an event of a control.
void RuntimeAddEventHandler(const std::shared_ptr<Control>& control, const Text& event,
                            const Delegate& handler);

// A control with a widget at a place in its window's content area.
class RectControl : public Control {
    FRAMEWORK_CLASS()
public:
    RectControl();
    ~RectControl() override;
    RectControl(const RectControl&) = delete;
    RectControl& operator=(const RectControl&) = delete;

    // Makes the widget in the window's content area, with the framework's defaults.
    virtual void Constructor();
    QWidget* Handle() const override { return widget_; }
    const std::vector<EventDecl>& Events() const override;

    void SetLeft(int32_t value);
    void SetTop(int32_t value);
    int32_t Width() const { return width_; }
    void SetWidth(int32_t value);
    int32_t Height() const { return height_; }
    void SetHeight(int32_t value);
    void SetLockLeft(bool value) { lockLeft_ = value; }
    void SetLockTop(bool value) { lockTop_ = value; }
    void SetLockRight(bool value) { lockRight_ = value; }
    void SetLockBottom(bool value) { lockBottom_ = value; }
    int32_t TabIndex() const { return tabIndex_; }
    void SetTabIndex(int32_t value);
    void SetTabStop(bool value);
    void SetEnabled(bool value);
    void SetVisible(bool value);
    void SetHelpTag(const framework::Text& value);
    void SetTransparent(bool value);

    // The font group, for the classes that declare it. "System" and size 0 are the platform's
    // default font.
    void SetTextFont(const framework::Text& value) {
        Store(textFont_, value, &RectControl::ApplyFont);
    }
    void SetTextSize(float value) { Store(textSize_, value, &RectControl::ApplyFont); }
    void SetTextUnit(uint8_t value) { Store(textUnit_, value, &RectControl::ApplyFont); }
    void SetBold(bool value) { Store(bold_, value, &RectControl::ApplyFont); }
    void SetItalic(bool value) { Store(italic_, value, &RectControl::ApplyFont); }
    void SetUnderline(bool value) { Store(underline_, value, &RectControl::ApplyFont); }

    // Keeps the locked distances when the content area changes size.
    void ContentResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight);

protected:
    virtual QWidget* CreateWidget(QWidget* parent) = 0;
    // Applies the font group to the widget (classes may send it elsewhere).
    virtual void ApplyFont();
    // Brings a new widget up to the properties set so far.
    virtual void ApplyOwnProperties() {}
    void CheckConstructed() const;
    // Stores a property on the main thread and, once the widget exists, shows it.
    template <class T, class Show> void Store(T& field, const T& value, Show show) {
        CheckMainThread();
        field = value;
        if (widget_) {
            show();
        }
    }
    template <class T, class C> void Store(T& field, const T& value, void (C::*apply)()) {
        Store(field, value, [this, apply] { (static_cast<C*>(this)->*apply)(); });
    }

private:
    void ApplyGeometry();

    QPointer<QWidget> widget_;
    int32_t left_ = 0, top_ = 0, width_ = 80, height_ = 22;
    bool lockLeft_ = true, lockTop_ = true, lockRight_ = false, lockBottom_ = false;
    int32_t tabIndex_ = 0;
    bool tabStop_ = true, enabled_ = true, visible_ = true;
    framework::Text helpTag_;
    framework::Text textFont_ = "System";
    float textSize_ = 0;
    uint8_t textUnit_ = 0;
    bool bold_ = false, italic_ = false, underline_ = false;
};

// The property declarations every visible control has, and the font and data groups (data
// binding names are accepted and bound to nothing).
std::vector<PropertyDecl> RectControlProperties();
std::vector<PropertyDecl> FontGroupProperties();
std::vector<PropertyDecl> DataGroupProperties();

// Joins declaration lists.
std::vector<PropertyDecl> Properties(std::initializer_list<std::vector<PropertyDecl>> groups);

} // namespace framework
