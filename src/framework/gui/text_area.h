#pragma once

#include "framework/gui/control.h"

#include <memory>

namespace framework {

class TextAreaView;

// A multi-line text field. Its text lives in a mirror beside the widget, so reading it and its
// length cost the same however long it grows.
class TextArea : public RectControl {
    FRAMEWORK_CLASS()
public:
    TextArea();
    ~TextArea() override;
    const std::vector<EventDecl>& Events() const override;

    const framework::Text& Text() const;
    void SetText(const framework::Text& text);
    void AppendText(const framework::Text& text);
    // 0-based line that holds the 0-based character position.
    int32_t LineNumAtCharPos(int32_t position) const;
    // The first visible line, numbered as LineNumAtCharPos numbers them.
    int32_t ScrollPosition() const;
    void SetScrollPosition(int32_t line);

    void SetBorder(bool value);
    void SetScrollBarHorizontal(bool value);
    void SetScrollBarVertical(bool value);
    void SetTextColor(Color value) {
        Store(textColor_, value, [this] { ApplyColors(); });
    }
    void SetBackColor(Color value) {
        Store(backColor_, value, [this] { ApplyColors(); });
    }
    void SetReadOnly(bool value);
    void SetAcceptTabs(bool value);
    // 0 default (left), 1 left, 2 centre, 3 right.
    void SetAlignment(int32_t value);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwnProperties() override;
    void ApplyFont() override;

private:
    void ApplyColors();
    std::unique_ptr<TextAreaView> view_;
    framework::Text pendingText_;
    bool border_ = true, scrollBarHorizontal_ = false, scrollBarVertical_ = true;
    Color textColor_{}, backColor_{255, 255, 255, 0};
    bool readOnly_ = false, acceptTabs_ = false;
    int32_t alignment_ = 0;
};

} // namespace framework
