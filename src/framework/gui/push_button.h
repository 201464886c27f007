#pragma once

#include "framework/gui/control.h"

class QPushButton;

namespace framework {

class PushButton : public RectControl {
    FRAMEWORK_CLASS()
public:
    const std::vector<EventDecl>& Events() const override;

    const framework::Text& Caption() const { return caption_; }
    void SetCaption(const framework::Text& caption);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value);
    // 0 is the platform's push button; other styles keep its look here.
    int32_t ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(int32_t value) { buttonStyle_ = value; }

    // Presses the button as the operator would.
    void Push();

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwnProperties() override;

private:
    QPushButton* Button() const;
    framework::Text caption_;
    bool default_ = false, cancel_ = false;
    int32_t buttonStyle_ = 0;
};

} // namespace framework
