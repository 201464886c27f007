#include "framework/gui/menu.h"

#include "framework/gui/display_text.h"
#include "framework/gui/edit_commands.h"
#include "framework/gui/runtime.h"
#include "framework/gui/window.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace framework {

namespace {

template <class T> ClassRecord MenuRecord(const char* name, const ClassRecord* base) {
    return ClassRecord{name, base, [] { return std::make_shared<T>(); }, {}};
}

} // namespace

const ClassRecord& MenuItem::Record() {
    static const ClassRecord record = MenuRecord<MenuItem>("MenuItem", nullptr);
    return record;
}
const ClassRecord& MenuBar::Record() {
    static const ClassRecord record = MenuRecord<MenuBar>("MenuBar", &MenuItem::Record());
    return record;
}
const ClassRecord& QuitMenuItem::Record() {
    static const ClassRecord record = MenuRecord<QuitMenuItem>("QuitMenuItem", &MenuItem::Record());
    return record;
}
const ClassRecord& ApplicationMenuItem::Record() {
    static const ClassRecord record =
        MenuRecord<ApplicationMenuItem>("ApplicationMenuItem", &MenuItem::Record());
    return record;
}

MenuItem::MenuItem() = default;
MenuItem::~MenuItem() = default;

void MenuItem::Constructor() {
    CheckMainThread();
    action_ = std::make_unique<QAction>();
    QObject::connect(action_.get(), &QAction::triggered, [this] { Choose(); });
    ApplyToActions();
}

void MenuItem::SetName(const framework::Text& name) {
    name_ = name;
}

void MenuItem::SetAutoEnable(bool value) {
    autoEnable_ = value;
    ApplyToActions();
}

void MenuItem::SetText(const framework::Text& text) {
    CheckMainThread();
    text_ = text;
    ApplyToActions();
}

void MenuItem::SetVisible(bool value) {
    CheckMainThread();
    visible_ = value;
    ApplyToActions();
}

void MenuItem::SetEnabled(bool value) {
    CheckMainThread();
    enabled_ = value;
    ApplyToActions();
}

void MenuItem::SetKeyboardShortcut(const framework::Text& shortcut) {
    CheckMainThread();
    shortcut_ = shortcut;
    ApplyToActions();
}

void MenuItem::ApplyToActions() {
    const bool separator = text_ == "-";
    const QString caption = DisplayString(text_);
    if (action_) {
        action_->setSeparator(separator);
        // A styled separator with text is drawn as a titled section.
        action_->setText(separator ? QString() : caption);
        action_->setVisible(visible_);
        action_->setEnabled(enabled_);
        action_->setShortcut(shortcut_ ? QKeySequence(DisplayString(PlatformShortcut(*shortcut_)))
                                       : QKeySequence());
    }
    if (menu_) {
        menu_->setTitle(caption);
        menu_->menuAction()->setVisible(visible_);
        menu_->menuAction()->setEnabled(enabled_);
    }
}

void MenuItem::Append(const std::shared_ptr<MenuItem>& child) {
    CheckMainThread();
    Deref(child, "menu item");
    child->parent_ = this;
    children_.push_back(child);
    // A menu bar's entries are shown by the windows' Qt menu bars; any other entry with
    // children shows them in a submenu of its own.
    if (!ClassInfo().IsA(MenuBar::Record())) {
        if (!menu_) {
            menu_ = std::make_unique<QMenu>();
            QObject::connect(menu_.get(), &QMenu::aboutToShow, [this] { EnableChildren(); });
            ApplyToActions();
        }
        menu_->addAction(child->VisibleAction());
    }
    NotifyChanged();
}

std::shared_ptr<MenuItem> MenuItem::Item(int32_t index) const {
    if (index < 0 || index >= Count()) {
        throw OutOfBoundsException("menu item index " + std::to_string(index));
    }
    return children_[static_cast<std::size_t>(index)];
}

std::shared_ptr<MenuItem> MenuItem::Child(const framework::Text& name) const {
    CheckMainThread();
    for (const auto& child : children_) {
        if (child->name_ == name) {
            return child;
        }
    }
    return nullptr;
}

std::shared_ptr<MenuItem> MenuItem::Lookup(const framework::Text& name) const {
    CheckMainThread();
    for (const auto& child : children_) {
        if (child->name_ == name) {
            return child;
        }
        if (auto found = child->Lookup(name)) {
            return found;
        }
    }
    return nullptr;
}

QAction* MenuItem::VisibleAction() const {
    return menu_ ? menu_->menuAction() : action_.get();
}

void MenuItem::SetChangeListener(std::function<void()> listener) {
    changeListener_ = std::move(listener);
}

void MenuItem::NotifyChanged() {
    for (MenuItem* item = this; item; item = item->parent_) {
        if (item->changeListener_) {
            item->changeListener_();
        }
    }
}

void MenuItem::EnableChildren() {
    // Automatic enabling: the Edit items only when they would act on the focused text.
    for (const auto& child : children_) {
        if (child->autoEnable_ && IsEditCommand(child->name_)) {
            child->SetEnabled(EditCommandApplies(child->name_));
        }
    }
}

void MenuItem::Choose() {
    auto self = std::static_pointer_cast<MenuItem>(shared_from_this());
    InvokeHandler([self] {
        if (auto window = FrontWindow(); window && window->HandleMenuChoice(*self)) {
            return;
        }
        if (PerformEditCommand(self->Name())) {
            return;
        }
        self->DefaultAction();
    });
}

void QuitMenuItem::Constructor() {
    MenuItem::Constructor();
    VisibleAction()->setMenuRole(QAction::QuitRole);
}

bool QuitMenuItem::DefaultAction() {
    RuntimeQuit();
    return true;
}

void ApplicationMenuItem::Constructor() {
    MenuItem::Constructor();
    VisibleAction()->setMenuRole(QAction::ApplicationSpecificRole);
}

framework::Text PlatformShortcut(const framework::Text& shortcut) {
    framework::Text result = shortcut;
    const framework::Text command = "Cmd+";
    for (std::size_t at = result.find(command); at != framework::Text::npos;
         at = result.find(command, at)) {
        result.replace(at, command.size(), "Ctrl+");
    }
    return result;
}

} // namespace framework
