#include "framework/gui/push_button.h"

#include "framework/gui/display_text.h"
#include "framework/gui/runtime.h"

#include <QPushButton>
#include <QShortcut>

namespace framework {

const ClassRecord& PushButton::Record() {
    using T = PropertyType;
    static const ClassRecord record{
        "PushButton", &RectControl::Record(), [] { return std::make_shared<PushButton>(); },
        Properties({{
                        MakeProperty("Caption", T::Text, &PushButton::SetCaption),
                        MakeProperty("Default", T::Boolean, &PushButton::SetDefault),
                        MakeProperty("Cancel", T::Boolean, &PushButton::SetCancel),
                        // Every style keeps the platform's push button look here.
                        IgnoredProperty("ButtonStyle", T::Int32),
                    },
                    FontGroupProperties()})};
    return record;
}

const std::vector<EventDecl>& PushButton::Events() const {
    static const std::vector<EventDecl> events{{"Open", "( PushButton )"},
                                               {"Action", "( PushButton )"}};
    return events;
}

QWidget* PushButton::CreateWidget(QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, [this] { RaiseEvent("Action"); });
    return button;
}

void PushButton::ApplyOwnProperties() {
    Button()->setText(DisplayString(caption_));
    Button()->setDefault(default_);
}

QPushButton* PushButton::Button() const {
    return static_cast<QPushButton*>(Handle());
}

void PushButton::SetCaption(const framework::Text& caption) {
    Store(caption_, caption, [this] { Button()->setText(DisplayString(caption_)); });
}

void PushButton::SetDefault(bool value) {
    Store(default_, value, [this] { Button()->setDefault(default_); });
}

void PushButton::SetCancel(bool value) {
    CheckMainThread();
    if (Button() && value) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), Button()->window());
        QObject::connect(escape, &QShortcut::activated, Button(), &QPushButton::click);
    }
}

void PushButton::Push() {
    CheckMainThread();
    CheckConstructed();
    Button()->click();
}

} // namespace framework
