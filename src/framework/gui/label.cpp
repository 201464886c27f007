#include "framework/gui/label.h"

#include "framework/gui/display_text.h"
#include "framework/gui/runtime.h"

#include <QLabel>

namespace framework {

const ClassRecord& Label::Record() {
    using T = PropertyType;
    static const ClassRecord record{
        "Label", &RectControl::Record(), [] { return std::make_shared<Label>(); },
        Properties({{
                        MakeProperty("Text", T::Text, &Label::SetText),
                        MakeProperty("TextAlign", T::Int32, &Label::SetTextAlign),
                        MakeProperty("TextColor", T::Color, &Label::SetTextColor),
                        MakeProperty("MultiLine", T::Boolean, &Label::SetMultiLine),
                        MakeProperty("Selectable", T::Boolean, &Label::SetSelectable),
                    },
                    FontGroupProperties(),
                    DataGroupProperties()})};
    return record;
}

const std::vector<EventDecl>& Label::Events() const {
    static const std::vector<EventDecl> events{{"Open", "( Label )"}};
    return events;
}

QWidget* Label::CreateWidget(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* Label::Widget() const {
    return static_cast<QLabel*>(Handle());
}

void Label::Apply() {
    QLabel* label = Widget();
    if (!label) {
        return;
    }
    label->setText(DisplayString(text_));
    const Qt::Alignment horizontal = textAlign_ == 1   ? Qt::AlignHCenter
                                     : textAlign_ == 2 ? Qt::AlignRight
                                                       : Qt::AlignLeft;
    label->setAlignment(horizontal | (multiLine_ ? Qt::AlignTop : Qt::AlignVCenter));
    label->setWordWrap(multiLine_);
    label->setTextInteractionFlags(selectable_ ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(textColor_));
    label->setPalette(palette);
}

void Label::SetText(const framework::Text& text) {
    Store(text_, text, [this] { Widget()->setText(DisplayString(text_)); });
}

} // namespace framework
