#include "framework/gui/text_area.h"

#include "framework/gui/edit_commands.h"
#include "framework/gui/runtime.h"
#include "framework/gui/text_area_view.h"

#include <QPlainTextEdit>
#include <QTextOption>

namespace framework {

const ClassRecord& TextArea::Record() {
    using T = PropertyType;
    using A = TextArea;
    static const ClassRecord record{
        "TextArea", &RectControl::Record(), [] { return std::make_shared<TextArea>(); },
        Properties({{
                        MakeProperty("Border", T::Boolean, &A::SetBorder),
                        MakeProperty("MultiLine", T::Boolean, &A::SetMultiLine),
                        MakeProperty("ScrollBarHorizontal", T::Boolean, &A::SetScrollBarHorizontal),
                        MakeProperty("ScrollBarVertical", T::Boolean, &A::SetScrollBarVertical),
                        MakeProperty("Styled", T::Boolean, &A::SetStyled),
                        MakeProperty("UseFocusRing", T::Boolean, &A::SetUseFocusRing),
                        MakeProperty("TextColor", T::Color, &A::SetTextColor),
                        MakeProperty("BackColor", T::Color, &A::SetBackColor),
                        MakeProperty("Format", T::Text, &A::SetFormat),
                        MakeProperty("HideSelection", T::Boolean, &A::SetHideSelection),
                        MakeProperty("LineHeight", T::Double, &A::SetLineHeight),
                        MakeProperty("LineSpacing", T::Double, &A::SetLineSpacing),
                        MakeProperty("Text", T::Text, &A::SetText),
                        MakeProperty("Mask", T::Text, &A::SetMask),
                        MakeProperty("ReadOnly", T::Boolean, &A::SetReadOnly),
                        MakeProperty("LimitText", T::Int32, &A::SetLimitText),
                        MakeProperty("AcceptTabs", T::Boolean, &A::SetAcceptTabs),
                        MakeProperty("Alignment", T::Int32, &A::SetAlignment),
                        MakeProperty("AutomaticallyCheckSpelling", T::Boolean,
                                     &A::SetAutomaticallyCheckSpelling),
                    },
                    FontGroupProperties(),
                    DataGroupProperties()})};
    return record;
}

TextArea::TextArea() = default;
TextArea::~TextArea() = default;

const std::vector<EventDecl>& TextArea::Events() const {
    static const std::vector<EventDecl> events{{"Open", "( TextArea )"}};
    return events;
}

QWidget* TextArea::CreateWidget(QWidget* parent) {
    FollowTextFocus();
    view_ = std::make_unique<TextAreaView>(parent);
    return view_->Widget();
}

void TextArea::ApplyOwnProperties() {
    view_->SetText(pendingText_);
    pendingText_.clear();
    SetBorder(border_);
    SetMultiLine(multiLine_);
    SetScrollBarVertical(scrollBarVertical_);
    SetReadOnly(readOnly_);
    SetAcceptTabs(acceptTabs_);
    SetAlignment(alignment_);
    ApplyColors();
}

void TextArea::ApplyFont() {
    RectControl::ApplyFont();
    if (view_) {
        // The document keeps its own default font; keep it in step so appended text follows.
        view_->Widget()->document()->setDefaultFont(view_->Widget()->font());
    }
}

const framework::Text& TextArea::Text() const {
    return view_ ? view_->Contents() : pendingText_;
}

void TextArea::SetText(const framework::Text& text) {
    CheckMainThread();
    if (view_) {
        view_->SetText(text);
    } else {
        pendingText_ = text;
    }
}

void TextArea::AppendText(const framework::Text& text) {
    CheckMainThread();
    if (view_) {
        view_->AppendText(text);
    } else {
        pendingText_ += text;
    }
}

int32_t TextArea::LineNumAtCharPos(int32_t position) const {
    CheckMainThread();
    CheckConstructed();
    return view_->LineNumAtCharPos(position);
}

int32_t TextArea::ScrollPosition() const {
    CheckMainThread();
    CheckConstructed();
    return view_->ScrollPosition();
}

void TextArea::SetScrollPosition(int32_t line) {
    CheckMainThread();
    CheckConstructed();
    view_->SetScrollPosition(line);
}

void TextArea::SetBorder(bool value) {
    CheckMainThread();
    border_ = value;
    if (view_) {
        view_->Widget()->setFrameShape(value ? QFrame::StyledPanel : QFrame::NoFrame);
    }
}

void TextArea::SetMultiLine(bool value) {
    CheckMainThread();
    multiLine_ = value;
    SetScrollBarHorizontal(scrollBarHorizontal_);
}

void TextArea::SetScrollBarHorizontal(bool value) {
    CheckMainThread();
    scrollBarHorizontal_ = value;
    if (view_) {
        // Without a horizontal scroll bar long lines wrap, so nothing is hidden.
        view_->Widget()->setLineWrapMode(value ? QPlainTextEdit::NoWrap
                                               : QPlainTextEdit::WidgetWidth);
        view_->Widget()->setHorizontalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded
                                                            : Qt::ScrollBarAlwaysOff);
    }
}

void TextArea::SetScrollBarVertical(bool value) {
    CheckMainThread();
    scrollBarVertical_ = value;
    if (view_) {
        view_->Widget()->setVerticalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded
                                                          : Qt::ScrollBarAlwaysOff);
    }
}

void TextArea::SetTextColor(Color value) {
    CheckMainThread();
    textColor_ = value;
    ApplyColors();
}

void TextArea::SetBackColor(Color value) {
    CheckMainThread();
    backColor_ = value;
    ApplyColors();
}

void TextArea::ApplyColors() {
    if (!view_) {
        return;
    }
    QPalette palette = view_->Widget()->palette();
    palette.setColor(QPalette::Text, ToQColor(textColor_));
    palette.setColor(QPalette::Base, ToQColor(backColor_));
    view_->Widget()->setPalette(palette);
}

void TextArea::SetReadOnly(bool value) {
    CheckMainThread();
    readOnly_ = value;
    if (view_) {
        view_->Widget()->setReadOnly(value);
    }
}

void TextArea::SetAcceptTabs(bool value) {
    CheckMainThread();
    acceptTabs_ = value;
    if (view_) {
        view_->Widget()->setTabChangesFocus(!value);
    }
}

void TextArea::SetAlignment(int32_t value) {
    CheckMainThread();
    alignment_ = value;
    if (view_) {
        QTextOption option = view_->Widget()->document()->defaultTextOption();
        option.setAlignment(value == 2   ? Qt::AlignHCenter
                            : value == 3 ? Qt::AlignRight
                                         : Qt::AlignLeft);
        view_->Widget()->document()->setDefaultTextOption(option);
    }
}

} // namespace framework
