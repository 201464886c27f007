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

    bool Border() const { return border_; }
    void SetBorder(bool value);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool value);
    bool ScrollBarHorizontal() const { return scrollBarHorizontal_; }
    void SetScrollBarHorizontal(bool value);
    bool ScrollBarVertical() const { return scrollBarVertical_; }
    void SetScrollBarVertical(bool value);
    bool Styled() const { return styled_; }
    void SetStyled(bool value) { styled_ = value; }
    bool UseFocusRing() const { return useFocusRing_; }
    void SetUseFocusRing(bool value) { useFocusRing_ = value; }
    Color TextColor() const { return textColor_; }
    void SetTextColor(Color value);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color value);
    const framework::Text& Format() const { return format_; }
    void SetFormat(const framework::Text& value) { format_ = value; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value) { hideSelection_ = value; }
    double LineHeight() const { return lineHeight_; }
    void SetLineHeight(double value) { lineHeight_ = value; }
    double LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(double value) { lineSpacing_ = value; }
    const framework::Text& Mask() const { return mask_; }
    void SetMask(const framework::Text& value) { mask_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    // 0: no limit. Counts what the operator types; the program's appends are never cut.
    int32_t LimitText() const { return limitText_; }
    void SetLimitText(int32_t value) { limitText_ = value; }
    bool AcceptTabs() const { return acceptTabs_; }
    void SetAcceptTabs(bool value);
    // 0 default (left), 1 left, 2 centre, 3 right.
    int32_t Alignment() const { return alignment_; }
    void SetAlignment(int32_t value);
    bool AutomaticallyCheckSpelling() const { return checkSpelling_; }
    void SetAutomaticallyCheckSpelling(bool value) { checkSpelling_ = value; }

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwnProperties() override;
    void ApplyFont() override;

private:
    void ApplyColors();
    std::unique_ptr<TextAreaView> view_;
    framework::Text pendingText_;
    bool border_ = true, multiLine_ = true, scrollBarHorizontal_ = false;
    bool scrollBarVertical_ = true, styled_ = true, useFocusRing_ = true;
    Color textColor_{}, backColor_{255, 255, 255, 0};
    framework::Text format_, mask_;
    bool hideSelection_ = true;
    double lineHeight_ = 0, lineSpacing_ = 1;
    bool readOnly_ = false;
    int32_t limitText_ = 0;
    bool acceptTabs_ = false;
    int32_t alignment_ = 0;
    bool checkSpelling_ = true;
};

} // namespace framework
