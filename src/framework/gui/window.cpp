#include "framework/gui/window.h"

#include "framework/gui/control.h"
#include "framework/gui/display_text.h"
#include "framework/gui/menu.h"
#include "framework/gui/runtime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace framework {

namespace {

std::vector<std::shared_ptr<Window>>& OpenList() {
    static std::vector<std::shared_ptr<Window>> list;
    return list;
}

class WindowWidget : public QMainWindow {
public:
    explicit WindowWidget(Window* owner) : owner_(owner) {}
    void Forget() { owner_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        if (owner_) {
            owner_->Closed();
        }
    }

private:
    Window* owner_;
};

class ContentArea : public QWidget {
public:
    explicit ContentArea(std::function<void(QSize, QSize)> resized)
        : resized_(std::move(resized)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        if (event->oldSize().isValid()) {
            resized_(event->oldSize(), event->size());
        }
    }

private:
    std::function<void(QSize, QSize)> resized_;
};

int32_t Clamp(int32_t value) {
    return std::clamp<int32_t>(value, 0, QWIDGETSIZE_MAX);
}

} // namespace

const ClassRecord& Window::Record() {
    using T = PropertyType;
    static const ClassRecord record{
        "Window",
        nullptr,
        [] { return std::make_shared<Window>(); },
        {
            MakeProperty("Width", T::Int32, &Window::SetWidth),
            MakeProperty("Height", T::Int32, &Window::SetHeight),
            MakeProperty("MinWidth", T::Int32, &Window::SetMinWidth),
            MakeProperty("MinHeight", T::Int32, &Window::SetMinHeight),
            MakeProperty("MaxWidth", T::Int32, &Window::SetMaxWidth),
            MakeProperty("MaxHeight", T::Int32, &Window::SetMaxHeight),
            IgnoredProperty("Frame", T::Int32), // a document window, the only kind used
            MakeProperty("Title", T::Text, &Window::SetTitle),
            MakeProperty("CloseButton", T::Boolean, &Window::SetCloseButton),
            MakeProperty("Resizeable", T::Boolean, &Window::SetResizeable),
            MakeProperty("MaximizeButton", T::Boolean, &Window::SetMaximizeButton),
            MakeProperty("MinimizeButton", T::Boolean, &Window::SetMinimizeButton),
            // Linux window managers offer no separate full-screen button.
            IgnoredProperty("FullScreenButton", T::Boolean),
            IgnoredProperty("Composite", T::Boolean),
            IgnoredProperty("MacProcId", T::Int32),
            MakeProperty("Placement", T::Int32, &Window::SetPlacement),
            MakeProperty("Visible", T::Boolean, &Window::SetVisible),
            IgnoredProperty("LiveResize", T::Boolean),
            MakeProperty("FullScreen", T::Boolean, &Window::SetFullScreen),
            MakeProperty("HasBackColor", T::Boolean, &Window::SetHasBackColor),
            MakeProperty("BackColor", T::Color, &Window::SetBackColor),
            MakeProperty("MenuBarVisible", T::Boolean, &Window::SetMenuBarVisible),
        }};
    return record;
}

Window::Window() = default;

Window::~Window() {
    controls_.clear();
    if (menuBar_) {
        menuBar_->SetChangeListener(nullptr);
    }
    if (widget_) {
        static_cast<WindowWidget*>(widget_.data())->Forget();
        delete widget_.data();
    }
}

void Window::Constructor() {
    CheckMainThread();
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    auto* widget = new WindowWidget(this);
    widget_ = widget;
    qtMenuBar_ = new QMenuBar(widget);
    qtMenuBar_->setNativeMenuBar(false);
    widget->setMenuBar(qtMenuBar_);
    content_ = new ContentArea([this](QSize before, QSize after) {
        for (const auto& control : controls_) {
            if (auto rect = std::dynamic_pointer_cast<RectControl>(control)) {
                rect->ContentResized(before.width(), before.height(), after.width(),
                                     after.height());
            }
        }
    });
    widget->setCentralWidget(content_);
    ApplyFlags();
    ApplyGeometry();

    InvokeHandler([this] { Layout(); });
    InvokeHandler([this] { CreateControls(); });
    ApplyTabOrder();
    InvokeHandler([this, &self] { AddMenuHandlers(self); });
    constructed_ = true;

    OpenList().push_back(self);
    if (visible_) {
        SetVisible(true);
    }
    // Open events: the controls' in their order, then the window's.
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        auto control = controls_[i];
        control->RaiseEvent("Open");
    }
    InvokeHandler([this] { Open(); });
}

void Window::Closed() {
    // Let go once no handler runs, never inside the close event or a handler of this window.
    RunWhenNoHandlerRuns([weak = std::weak_ptr<Object>(shared_from_this())] {
        const auto self = weak.lock();
        auto& list = OpenList();
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&self](const auto& window) { return self && window == self; }),
                   list.end());
    });
}

void Window::SetMenuBar(std::shared_ptr<framework::MenuBar> bar) {
    CheckMainThread();
    if (menuBar_) {
        menuBar_->SetChangeListener(nullptr);
    }
    menuBar_ = std::move(bar);
    if (menuBar_) {
        menuBar_->SetChangeListener([this] { RebuildMenuBar(); });
    }
    RebuildMenuBar();
}

void Window::RebuildMenuBar() {
    if (!qtMenuBar_) {
        return;
    }
    qtMenuBar_->clear();
    if (menuBar_) {
        for (int32_t i = 0; i < menuBar_->Count(); ++i) {
            qtMenuBar_->addAction(menuBar_->Item(i)->VisibleAction());
        }
    }
    qtMenuBar_->setVisible(menuBarVisible_ && menuBar_);
    ApplyGeometry();
}

int32_t Window::MenuBarHeight() const {
    if (!qtMenuBar_ || !menuBarVisible_ || !menuBar_) {
        return 0;
    }
    return qtMenuBar_->sizeHint().height();
}

std::shared_ptr<framework::Control> Window::New(const ClassRecord& cls) {
    CheckMainThread();
    auto control =
        RuntimeCheckCast<framework::Control>(Deref(RuntimeNewObject(cls), cls.name.c_str()));
    control->SetWindow(std::static_pointer_cast<Window>(shared_from_this()));
    return control;
}

void Window::AddControl(const framework::Text& name,
                        const std::shared_ptr<framework::Control>& control) {
    CheckMainThread();
    Deref(control, "control");
    control->SetName(name);
    control->SetWindow(std::static_pointer_cast<Window>(shared_from_this()));
    controls_.push_back(control);
}

std::shared_ptr<framework::Control> Window::ControlByName(const framework::Text& name) const {
    for (const auto& control : controls_) {
        if (control->Name() == name) {
            return control;
        }
    }
    return nullptr;
}

int32_t Window::ControlCount() const {
    return static_cast<int32_t>(controls_.size());
}

std::shared_ptr<framework::Control> Window::Control(int32_t index) const {
    if (index < 0 || index >= ControlCount()) {
        throw OutOfBoundsException("control index " + std::to_string(index));
    }
    return controls_[static_cast<std::size_t>(index)];
}

void Window::AddMenuHandler(const framework::Text& itemName, const Delegate& handler) {
    CheckMainThread();
    CheckSignature(handler.signature, "() as Boolean");
    if (!std::holds_alternative<std::function<bool()>>(handler.target)) {
        throw DelegateSignatureException("a menu handler must give a Boolean");
    }
    menuHandlers_[itemName] = handler;
}

bool Window::HandleMenuChoice(const MenuItem& item) {
    const auto found = menuHandlers_.find(item.Name());
    if (found == menuHandlers_.end()) {
        return false;
    }
    auto handler = std::get<std::function<bool()>>(found->second.target);
    return handler();
}

void Window::ApplyTabOrder() {
    std::vector<RectControl*> ordered;
    for (const auto& control : controls_) {
        if (auto* rect = dynamic_cast<RectControl*>(control.get()); rect && rect->Handle()) {
            ordered.push_back(rect);
        }
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](auto* a, auto* b) { return a->TabIndex() < b->TabIndex(); });
    for (std::size_t i = 1; i < ordered.size(); ++i) {
        QWidget::setTabOrder(ordered[i - 1]->Handle(), ordered[i]->Handle());
    }
}

int32_t Window::Width() const {
    return widget_ ? widget_->width() : width_;
}

int32_t Window::Height() const {
    return widget_ ? widget_->height() - MenuBarHeight() : height_;
}

void Window::ApplyGeometry() {
    if (!widget_) {
        return;
    }
    const int32_t bar = MenuBarHeight();
    if (resizeable_) {
        widget_->setMinimumSize(Clamp(minWidth_), Clamp(minHeight_ + bar));
        widget_->setMaximumSize(Clamp(maxWidth_), Clamp(maxHeight_ + bar));
        widget_->resize(std::clamp(width_, minWidth_, std::max(minWidth_, maxWidth_)),
                        std::clamp(height_, minHeight_, std::max(minHeight_, maxHeight_)) + bar);
    } else {
        widget_->setFixedSize(Clamp(width_), Clamp(height_ + bar));
    }
}

void Window::SetTitle(const framework::Text& title) {
    CheckMainThread();
    if (widget_) {
        widget_->setWindowTitle(DisplayString(title));
    }
}

void Window::SetResizeable(bool value) {
    resizeable_ = value;
    ApplyFlags();
    ApplyGeometry();
}

void Window::ApplyFlags() {
    if (!widget_) {
        return;
    }
    Qt::WindowFlags flags =
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (closeButton_) {
        flags |= Qt::WindowCloseButtonHint;
    }
    if (minimizeButton_) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (maximizeButton_ && resizeable_) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    if (widget_->windowFlags() != flags) {
        const bool shown = widget_->isVisible();
        widget_->setWindowFlags(flags);
        if (shown) {
            widget_->show();
        }
    }
}

void Window::SetVisible(bool value) {
    CheckMainThread();
    visible_ = value;
    // Shown once built, so the operator never sees a half-made window.
    if (!widget_ || !constructed_) {
        return;
    }
    if (!value) {
        widget_->hide();
        return;
    }
    if (placement_ >= 2 && !widget_->isVisible()) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = widget_->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            widget_->move(frame.topLeft());
        }
    }
    if (fullScreen_) {
        widget_->showFullScreen();
    } else {
        widget_->show();
    }
}

void Window::SetFullScreen(bool value) {
    fullScreen_ = value;
    if (widget_ && constructed_ && visible_) {
        value ? widget_->showFullScreen() : widget_->showNormal();
    }
}

void Window::ApplyBackColor() {
    if (!content_) {
        return;
    }
    content_->setAutoFillBackground(hasBackColor_);
    if (hasBackColor_) {
        QPalette palette = content_->palette();
        palette.setColor(QPalette::Window, ToQColor(backColor_));
        content_->setPalette(palette);
    }
}

void Window::SetMenuBarVisible(bool value) {
    menuBarVisible_ = value;
    RebuildMenuBar();
}

std::shared_ptr<Window> GetImplicitWindow(const framework::Text& className) {
    for (const auto& window : OpenList()) {
        if (window->ClassInfo().name == className) {
            return window;
        }
    }
    return nullptr;
}

std::shared_ptr<Window> FrontWindow() {
    const auto& list = OpenList();
    QWidget* active = QApplication::activeWindow();
    for (const auto& window : list) {
        if (active && window->Widget() == active) {
            return window;
        }
    }
    return list.empty() ? nullptr : list.back();
}

const std::vector<std::shared_ptr<Window>>& OpenWindows() {
    return OpenList();
}

void CloseAllWindows() {
    auto windows = std::move(OpenList());
    OpenList().clear();
    windows.clear();
}

} // namespace framework
