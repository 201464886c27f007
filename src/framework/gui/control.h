#pragma once

#include "framework/core/object.h"
#include "framework/gui/delegate.h"

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
    int32_t Index() const { return index_; }
    void SetIndex(int32_t index) { index_ = index; }

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
    bool HasEventHandler(const framework::Text& event) const;
    // Runs the event's handler, if any, with this control, through the exception helper.
    void RaiseEvent(const framework::Text& event);

private:
    framework::Text name_;
    int32_t index_ = 0;
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

    int32_t Left() const { return left_; }
    void SetLeft(int32_t value);
    int32_t Top() const { return top_; }
    void SetTop(int32_t value);
    int32_t Width() const { return width_; }
    void SetWidth(int32_t value);
    int32_t Height() const { return height_; }
    void SetHeight(int32_t value);
    bool LockLeft() const { return lockLeft_; }
    void SetLockLeft(bool value) { lockLeft_ = value; }
    bool LockTop() const { return lockTop_; }
    void SetLockTop(bool value) { lockTop_ = value; }
    bool LockRight() const { return lockRight_; }
    void SetLockRight(bool value) { lockRight_ = value; }
    bool LockBottom() const { return lockBottom_; }
    void SetLockBottom(bool value) { lockBottom_ = value; }
    int32_t TabPanelIndex() const { return tabPanelIndex_; }
    void SetTabPanelIndex(int32_t value) { tabPanelIndex_ = value; }
    int32_t TabIndex() const { return tabIndex_; }
    void SetTabIndex(int32_t value);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    const framework::Text& HelpTag() const { return helpTag_; }
    void SetHelpTag(const framework::Text& value);
    bool AutoDeactivate() const { return autoDeactivate_; }
    void SetAutoDeactivate(bool value) { autoDeactivate_ = value; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    const framework::Text& InitialParent() const { return initialParent_; }
    void SetInitialParent(const framework::Text& value) { initialParent_ = value; }

    // The font group, for the classes that declare it. "System" and size 0 are the platform's
    // default font.
    const framework::Text& TextFont() const { return textFont_; }
    void SetTextFont(const framework::Text& value);
    float TextSize() const { return textSize_; }
    void SetTextSize(float value);
    uint8_t TextUnit() const { return textUnit_; }
    void SetTextUnit(uint8_t value);
    bool Bold() const { return bold_; }
    void SetBold(bool value);
    bool Italic() const { return italic_; }
    void SetItalic(bool value);
    bool Underline() const { return underline_; }
    void SetUnderline(bool value);

    // Data binding names: kept, not bound to anything.
    const framework::Text& DataSource() const { return dataSource_; }
    void SetDataSource(const framework::Text& value) { dataSource_ = value; }
    const framework::Text& DataField() const { return dataField_; }
    void SetDataField(const framework::Text& value) { dataField_ = value; }

    // Keeps the locked distances when the content area changes size.
    void ContentResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight);

protected:
    virtual QWidget* CreateWidget(QWidget* parent) = 0;
    // Applies the font group to the widget (classes may send it elsewhere).
    virtual void ApplyFont();
    // Brings a new widget up to the properties set so far.
    virtual void ApplyOwnProperties() {}
    void CheckConstructed() const;

private:
    void ApplyGeometry();

    QPointer<QWidget> widget_;
    int32_t left_ = 0, top_ = 0, width_ = 80, height_ = 22;
    bool lockLeft_ = true, lockTop_ = true, lockRight_ = false, lockBottom_ = false;
    int32_t tabPanelIndex_ = 0, tabIndex_ = 0;
    bool tabStop_ = true, enabled_ = true, visible_ = true, autoDeactivate_ = true;
    bool transparent_ = false;
    framework::Text helpTag_, initialParent_, dataSource_, dataField_;
    framework::Text textFont_ = "System";
    float textSize_ = 0;
    uint8_t textUnit_ = 0;
    bool bold_ = false, italic_ = false, underline_ = false;
};

// The property declarations every visible control has, and the font and data groups.
std::vector<PropertyDecl> RectControlProperties();
std::vector<PropertyDecl> FontGroupProperties();
std::vector<PropertyDecl> DataGroupProperties();

// Joins declaration lists.
std::vector<PropertyDecl> Properties(std::initializer_list<std::vector<PropertyDecl>> groups);

} // namespace framework
