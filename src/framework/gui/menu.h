#pragma once

#include "framework/core/object.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;

namespace framework {

// One entry of a menu tree: a menu, an item or a separator (caption "-"). Its Name is its
// identity; windows connect handlers to it by that name.
class MenuItem : public Object {
    FRAMEWORK_CLASS()
public:
    MenuItem();
    ~MenuItem() override;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    virtual void Constructor();

    const framework::Text& Name() const { return name_; }
    void SetName(const framework::Text& name);
    bool AutoEnable() const { return autoEnable_; }
    void SetAutoEnable(bool value);
    const framework::Text& Text() const { return text_; }
    void SetText(const framework::Text& text);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    void SetEnabled(bool value);
    // Empty when the setter was never called (the framework's default: no shortcut).
    const std::optional<framework::Text>& KeyboardShortcut() const { return shortcut_; }
    void SetKeyboardShortcut(const framework::Text& shortcut);

    // The entry becomes this item's last child.
    void Append(const std::shared_ptr<MenuItem>& child);
    int32_t Count() const { return static_cast<int32_t>(children_.size()); }
    // The child at index; OutOfBoundsException outside.
    std::shared_ptr<MenuItem> Item(int32_t index) const;
    // The direct child with that name, or nil.
    std::shared_ptr<MenuItem> Child(const framework::Text& name) const;
    // The entry with that name anywhere below this one, or nil.
    std::shared_ptr<MenuItem> Lookup(const framework::Text& name) const;

    // The Qt action that stands for this entry in its parent (a submenu's menu action when it
    // has children).
    QAction* VisibleAction() const;

    // Called when the entry's structure changes (a child appended anywhere below).
    void SetChangeListener(std::function<void()> listener);

    // What the framework does with a choice nobody handled; true when it did something.
    virtual bool DefaultAction() { return false; }

    // The entry was chosen: the front window's handler first, then the standard Edit commands,
    // then the default action.
    void Choose();
    // Brings the children's enabled state up to date, as a menu does before it opens.
    void EnableChildren();

private:
    void ApplyToActions();
    void NotifyChanged();

    framework::Text name_;
    framework::Text text_;
    bool autoEnable_ = true;
    bool visible_ = true;
    bool enabled_ = true;
    std::optional<framework::Text> shortcut_;
    std::vector<std::shared_ptr<MenuItem>> children_;
    MenuItem* parent_ = nullptr;
    std::unique_ptr<QAction> action_;
    std::unique_ptr<QMenu> menu_;
    std::function<void()> changeListener_;
};

class MenuBar : public MenuItem {
    FRAMEWORK_CLASS()
};

// Its choice is answered with the framework's quit action.
class QuitMenuItem : public MenuItem {
    FRAMEWORK_CLASS()
public:
    void Constructor() override;
    bool DefaultAction() override;
};

// An entry that belongs to the application (About, say). On Linux it stays in its menu.
class ApplicationMenuItem : public MenuItem {
    FRAMEWORK_CLASS()
public:
    void Constructor() override;
};

// "Cmd+Q" and the like, with the platform's command key (Ctrl here).
framework::Text PlatformShortcut(const framework::Text& shortcut);

} // namespace framework
