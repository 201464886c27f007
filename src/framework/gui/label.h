#pragma once

#include "framework/gui/control.h"

class QLabel;

namespace framework {

// A caption. Its text is always plain text, never markup.
class Label : public RectControl {
    FRAMEWORK_CLASS()
public:
    const std::vector<EventDecl>& Events() const override;

    const framework::Text& Text() const { return text_; }
    void SetText(const framework::Text& text);
    // 0 left, 1 centre, 2 right.
    void SetTextAlign(int32_t value) { Store(textAlign_, value, &Label::Apply); }
    void SetTextColor(Color value) { Store(textColor_, value, &Label::Apply); }
    void SetMultiLine(bool value) { Store(multiLine_, value, &Label::Apply); }
    void SetSelectable(bool value) { Store(selectable_, value, &Label::Apply); }

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwnProperties() override { Apply(); }

private:
    QLabel* Widget() const;
    void Apply();
    framework::Text text_;
    int32_t textAlign_ = 0;
    Color textColor_{};
    bool multiLine_ = false, selectable_ = false;
};

} // namespace framework
