#include "framework/gui/control.h"

#include "framework/gui/display_text.h"
#include "framework/gui/runtime.h"
#include "framework/gui/window.h"

#include <QFont>
#include <QFontDatabase>
#include <QWidget>

namespace framework {

const ClassRecord& Control::Record() {
    static const ClassRecord record{"Control", nullptr, nullptr, {}};
    return record;
}

void Control::SetWindow(const std::shared_ptr<framework::Window>& window) {
    window_ = window;
}

std::shared_ptr<framework::Window> Control::Window() const {
    return window_.lock();
}

const std::vector<EventDecl>& Control::Events() const {
    static const std::vector<EventDecl> none;
    return none;
}

void Control::AddEventHandler(const framework::Text& event, const Delegate& handler) {
    const EventDecl* declared = nullptr;
    for (const EventDecl& decl : Events()) {
        if (event == decl.name) {
            declared = &decl;
        }
    }
    if (!declared) {
        throw DelegateSignatureException("class " + ClassInfo().name + " has no event " + event);
    }
    CheckSignature(handler.signature, declared->signature);
    const auto* target = std::get_if<std::function<void(const ObjectRef&)>>(&handler.target);
    if (!target || !*target) {
        throw DelegateSignatureException("the handler for " + event + " takes no control");
    }
    if (handlers_.count(event)) {
        throw RuntimeException("control " + name_ + " has a handler for " + event + " already");
    }
    handlers_[event] = *target;
}

void Control::RaiseEvent(const framework::Text& event) {
    const auto found = handlers_.find(event);
    if (found == handlers_.end()) {
        return;
    }
    auto handler = found->second;
    ObjectRef self = shared_from_this();
    InvokeHandler([&handler, &self] { handler(self); });
}

QColor ToQColor(Color color) {
    return QColor(color.red, color.green, color.blue, 255 - color.alpha);
}

void RuntimeAddEventHandler(const std::shared_ptr<Control>& control, const Text& event,
                            const Delegate& handler) {
    Deref(control, "control")->AddEventHandler(event, handler);
}

const ClassRecord& RectControl::Record() {
    static const ClassRecord record{"RectControl", &Control::Record(), nullptr,
                                    RectControlProperties()};
    return record;
}

RectControl::RectControl() = default;

RectControl::~RectControl() {
    if (widget_) {
        delete widget_.data();
    }
}

const std::vector<EventDecl>& RectControl::Events() const {
    static const std::vector<EventDecl> events{{"Open", "( RectControl )"}};
    return events;
}

void RectControl::Constructor() {
    CheckMainThread();
    auto window = Deref(Window(), "window of the control");
    widget_ = CreateWidget(window->Content());
    widget_->setAttribute(Qt::WA_DeleteOnClose, false);
    ApplyGeometry();
    ApplyFont();
    SetTabStop(tabStop_);
    SetEnabled(enabled_);
    SetHelpTag(helpTag_);
    widget_->setVisible(visible_);
    ApplyOwnProperties();
}

void RectControl::CheckConstructed() const {
    if (!widget_) {
        throw NilObjectException("control " + Name() + " has no widget");
    }
}

void RectControl::ApplyGeometry() {
    if (widget_) {
        widget_->setGeometry(left_, top_, width_, height_);
    }
}

void RectControl::SetLeft(int32_t value) {
    Store(left_, value, [this] { ApplyGeometry(); });
}

void RectControl::SetTop(int32_t value) {
    Store(top_, value, [this] { ApplyGeometry(); });
}

void RectControl::SetWidth(int32_t value) {
    Store(width_, std::max(0, value), [this] { ApplyGeometry(); });
}

void RectControl::SetHeight(int32_t value) {
    Store(height_, std::max(0, value), [this] { ApplyGeometry(); });
}

void RectControl::ContentResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth,
                                 int32_t newHeight) {
    const int32_t dx = newWidth - oldWidth;
    const int32_t dy = newHeight - oldHeight;
    if (lockRight_) {
        if (lockLeft_) {
            width_ = std::max(0, width_ + dx);
        } else {
            left_ += dx;
        }
    }
    if (lockBottom_) {
        if (lockTop_) {
            height_ = std::max(0, height_ + dy);
        } else {
            top_ += dy;
        }
    }
    ApplyGeometry();
}

void RectControl::SetTabIndex(int32_t value) {
    tabIndex_ = value;
    if (auto window = Window()) {
        window->ApplyTabOrder();
    }
}

void RectControl::SetTabStop(bool value) {
    Store(tabStop_, value, [this, value] {
        if (!value) {
            widget_->setFocusPolicy(Qt::ClickFocus);
        }
    });
}

void RectControl::SetEnabled(bool value) {
    Store(enabled_, value, [this, value] { widget_->setEnabled(value); });
}

void RectControl::SetVisible(bool value) {
    Store(visible_, value, [this, value] { widget_->setVisible(value); });
}

void RectControl::SetHelpTag(const framework::Text& value) {
    Store(helpTag_, value, [this, &value] { widget_->setToolTip(DisplayString(value)); });
}

void RectControl::SetTransparent(bool value) {
    CheckMainThread();
    if (widget_) {
        widget_->setAttribute(Qt::WA_NoSystemBackground, value);
    }
}

void RectControl::ApplyFont() {
    if (!widget_) {
        return;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (textFont_ != "System" && !textFont_.empty()) {
        font.setFamily(DisplayString(textFont_));
        // Where the named face is missing, a fixed-pitch name still gets a fixed-pitch face.
        const QString family = DisplayString(textFont_).toLower();
        if (family.startsWith("courier") || family.contains("mono")) {
            font.setStyleHint(QFont::TypeWriter);
            font.setFixedPitch(true);
        }
    }
    // Units: 0 default and 1 pixels are pixels here; 2 points, 3 inches, 4 millimetres.
    if (textSize_ > 0) {
        switch (textUnit_) {
        case 2:
            font.setPointSizeF(textSize_);
            break;
        case 3:
            font.setPointSizeF(textSize_ * 72.0);
            break;
        case 4:
            font.setPointSizeF(textSize_ * 72.0 / 25.4);
            break;
        default:
            font.setPixelSize(std::max(1, static_cast<int>(textSize_ + 0.5f)));
            break;
        }
    }
    font.setBold(bold_);
    font.setItalic(italic_);
    font.setUnderline(underline_);
    widget_->setFont(font);
}

std::vector<PropertyDecl> Properties(std::initializer_list<std::vector<PropertyDecl>> groups) {
    std::vector<PropertyDecl> all;
    for (const auto& group : groups) {
        all.insert(all.end(), group.begin(), group.end());
    }
    return all;
}

std::vector<PropertyDecl> RectControlProperties() {
    using T = PropertyType;
    return {
        MakeProperty("Name", T::Text, &Control::SetName),
        IgnoredProperty("Index", T::Int32),
        MakeProperty("Left", T::Int32, &RectControl::SetLeft),
        MakeProperty("Top", T::Int32, &RectControl::SetTop),
        MakeProperty("Width", T::Int32, &RectControl::SetWidth),
        MakeProperty("Height", T::Int32, &RectControl::SetHeight),
        MakeProperty("LockLeft", T::Boolean, &RectControl::SetLockLeft),
        MakeProperty("LockTop", T::Boolean, &RectControl::SetLockTop),
        MakeProperty("LockRight", T::Boolean, &RectControl::SetLockRight),
        MakeProperty("LockBottom", T::Boolean, &RectControl::SetLockBottom),
        IgnoredProperty("TabPanelIndex", T::Int32),
        MakeProperty("TabIndex", T::Int32, &RectControl::SetTabIndex),
        MakeProperty("TabStop", T::Boolean, &RectControl::SetTabStop),
        MakeProperty("Enabled", T::Boolean, &RectControl::SetEnabled),
        MakeProperty("Visible", T::Boolean, &RectControl::SetVisible),
        MakeProperty("HelpTag", T::Text, &RectControl::SetHelpTag),
        IgnoredProperty("AutoDeactivate", T::Boolean),
        MakeProperty("Transparent", T::Boolean, &RectControl::SetTransparent),
        IgnoredProperty("InitialParent", T::Text),
    };
}

std::vector<PropertyDecl> FontGroupProperties() {
    using T = PropertyType;
    return {
        MakeProperty("TextFont", T::Text, &RectControl::SetTextFont),
        MakeProperty("TextSize", T::Single, &RectControl::SetTextSize),
        MakeProperty("TextUnit", T::UInt8, &RectControl::SetTextUnit),
        MakeProperty("Bold", T::Boolean, &RectControl::SetBold),
        MakeProperty("Italic", T::Boolean, &RectControl::SetItalic),
        MakeProperty("Underline", T::Boolean, &RectControl::SetUnderline),
    };
}

std::vector<PropertyDecl> DataGroupProperties() {
    return {IgnoredProperty("DataSource", PropertyType::Text),
            IgnoredProperty("DataField", PropertyType::Text)};
}

} // namespace framework
