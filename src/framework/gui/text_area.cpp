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
                        // Lines wrap unless there is a horizontal scroll bar, so nothing hides.
                        IgnoredProperty("MultiLine", T::Boolean),
                        MakeProperty("ScrollBarHorizontal", T::Boolean, &A::SetScrollBarHorizontal),
                        MakeProperty("ScrollBarVertical", T::Boolean, &A::SetScrollBarVertical),
                        IgnoredProperty("Styled", T::Boolean),
                        IgnoredProperty("UseFocusRing", T::Boolean),
                        MakeProperty("TextColor", T::Color, &A::SetTextColor),
                        MakeProperty("BackColor", T::Color, &A::SetBackColor),
                        IgnoredProperty("Format", T::Text),
                        IgnoredProperty("HideSelection", T::Boolean),
                        IgnoredProperty("LineHeight", T::Double),
                        IgnoredProperty("LineSpacing", T::Double),
                        MakeProperty("Text", T::Text, &A::SetText),
                        IgnoredProperty("Mask", T::Text),
                        MakeProperty("ReadOnly", T::Boolean, &A::SetReadOnly),
                        // The program's appends are never cut.
                        IgnoredProperty("LimitText", T::Int32),
                        MakeProperty("AcceptTabs", T::Boolean, &A::SetAcceptTabs),
                        MakeProperty("Alignment", T::Int32, &A::SetAlignment),
                        IgnoredProperty("AutomaticallyCheckSpelling", T::Boolean),
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
    SetScrollBarHorizontal(scrollBarHorizontal_);
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
    Store(border_, value, [=, this] {
        view_->Widget()->setFrameShape(value ? QFrame::StyledPanel : QFrame::NoFrame);
    });
}

void TextArea::SetScrollBarHorizontal(bool value) {
    Store(scrollBarHorizontal_, value, [=, this] {
        // Without a horizontal scroll bar long lines wrap, so nothing is hidden.
        view_->Widget()->setLineWrapMode(value ? QPlainTextEdit::NoWrap
                                               : QPlainTextEdit::WidgetWidth);
        view_->Widget()->setHorizontalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded
                                                            : Qt::ScrollBarAlwaysOff);
    });
}

void TextArea::SetScrollBarVertical(bool value) {
    Store(scrollBarVertical_, value, [=, this] {
        view_->Widget()->setVerticalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded
                                                          : Qt::ScrollBarAlwaysOff);
    });
}

void TextArea::ApplyColors() {
    QPalette palette = view_->Widget()->palette();
    palette.setColor(QPalette::Text, ToQColor(textColor_));
    palette.setColor(QPalette::Base, ToQColor(backColor_));
    view_->Widget()->setPalette(palette);
}

void TextArea::SetReadOnly(bool value) {
    Store(readOnly_, value, [=, this] { view_->Widget()->setReadOnly(value); });
}

void TextArea::SetAcceptTabs(bool value) {
    Store(acceptTabs_, value, [=, this] { view_->Widget()->setTabChangesFocus(!value); });
}

void TextArea::SetAlignment(int32_t value) {
    Store(alignment_, value, [=, this] {
        QTextOption option = view_->Widget()->document()->defaultTextOption();
        option.setAlignment(value == 2   ? Qt::AlignHCenter
                            : value == 3 ? Qt::AlignRight
                                         : Qt::AlignLeft);
        view_->Widget()->document()->setDefaultTextOption(option);
    });
}

} // namespace framework
