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
    void SetDefault(bool value);
    void SetCancel(bool value);

    // Presses the button as the operator would.
    void Push();

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwnProperties() override;

private:
    QPushButton* Button() const;
    framework::Text caption_;
    bool default_ = false;
};

} // namespace framework
