#pragma once

#include "framework/gui/control.h"

class QSlider;

namespace framework {

class Slider : public RectControl {
    FRAMEWORK_CLASS()
public:
    const std::vector<EventDecl>& Events() const override;

    int32_t Minimum() const { return minimum_; }
    void SetMinimum(int32_t value);
    int32_t Maximum() const { return maximum_; }
    void SetMaximum(int32_t value);
    int32_t Value() const;
    void SetValue(int32_t value);
    int32_t LineStep() const { return lineStep_; }
    void SetLineStep(int32_t value);
    int32_t PageStep() const { return pageStep_; }
    void SetPageStep(int32_t value);
    // True: ValueChanged while the thumb is dragged; false: once it is let go.
    bool LiveScroll() const { return liveScroll_; }
    void SetLiveScroll(bool value);
    // 0 none, 1 above or left, 2 below or right, 3 both sides.
    int32_t TickStyle() const { return tickStyle_; }
    void SetTickStyle(int32_t value);
    bool Vertical() const;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwnProperties() override;

private:
    QSlider* Widget() const;
    int32_t minimum_ = 0, maximum_ = 100, value_ = 0, lineStep_ = 1, pageStep_ = 20;
    bool liveScroll_ = true;
    int32_t tickStyle_ = 0;
};

} // namespace framework
