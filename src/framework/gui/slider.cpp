#include "framework/gui/slider.h"

#include "framework/gui/runtime.h"

#include <QSlider>

namespace framework {

const ClassRecord& Slider::Record() {
    using T = PropertyType;
    static const ClassRecord record{
        "Slider",
        &RectControl::Record(),
        [] { return std::make_shared<Slider>(); },
        {
            MakeProperty("Minimum", T::Int32, &Slider::SetMinimum),
            MakeProperty("Value", T::Int32, &Slider::SetValue),
            MakeProperty("Maximum", T::Int32, &Slider::SetMaximum),
            MakeProperty("LineStep", T::Int32, &Slider::SetLineStep),
            MakeProperty("PageStep", T::Int32, &Slider::SetPageStep),
            MakeProperty("LiveScroll", T::Boolean, &Slider::SetLiveScroll),
            MakeProperty("TickStyle", T::Int32, &Slider::SetTickStyle),
        }};
    return record;
}

const std::vector<EventDecl>& Slider::Events() const {
    static const std::vector<EventDecl> events{{"Open", "( Slider )"},
                                               {"ValueChanged", "( Slider )"}};
    return events;
}

QWidget* Slider::CreateWidget(QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    QObject::connect(slider, &QSlider::valueChanged, [this](int value) {
        value_ = value;
        RaiseEvent("ValueChanged");
    });
    return slider;
}

QSlider* Slider::Widget() const {
    return static_cast<QSlider*>(Handle());
}

void Slider::ApplyOwnProperties() {
    QSlider* slider = Widget();
    const QSignalBlocker quiet(slider);
    slider->setRange(minimum_, std::max(minimum_, maximum_));
    slider->setValue(value_);
    slider->setSingleStep(lineStep_);
    slider->setPageStep(pageStep_);
    slider->setTracking(liveScroll_);
    SetTickStyle(tickStyle_);
}

void Slider::SetMinimum(int32_t value) {
    Store(minimum_, value, [=, this] { Widget()->setMinimum(value); });
}

void Slider::SetMaximum(int32_t value) {
    Store(maximum_, value, [=, this] { Widget()->setMaximum(value); });
}

void Slider::SetValue(int32_t value) {
    // The value keeps within the range, as the widget's does.
    Store(value_, std::clamp(value, minimum_, std::max(minimum_, maximum_)),
          [this] { Widget()->setValue(value_); });
}

void Slider::SetLineStep(int32_t value) {
    Store(lineStep_, value, [=, this] { Widget()->setSingleStep(value); });
}

void Slider::SetPageStep(int32_t value) {
    Store(pageStep_, value, [=, this] { Widget()->setPageStep(value); });
}

void Slider::SetLiveScroll(bool value) {
    Store(liveScroll_, value, [=, this] { Widget()->setTracking(value); });
}

void Slider::SetTickStyle(int32_t value) {
    static const QSlider::TickPosition positions[] = {QSlider::NoTicks, QSlider::TicksAbove,
                                                      QSlider::TicksBelow, QSlider::TicksBothSides};
    Store(tickStyle_, value, [=, this] {
        Widget()->setTickPosition(value >= 0 && value <= 3 ? positions[value] : QSlider::NoTicks);
    });
}

} // namespace framework
