#pragma once

#include "framework/gui/control.h"

class QSlider;

namespace framework {

class Slider : public RectControl {
    FRAMEWORK_CLASS()
public:
    const std::vector<EventDecl>& Events() const override;

    void SetMinimum(int32_t value);
    void SetMaximum(int32_t value);
    int32_t Value() const { return value_; }
    void SetValue(int32_t value);
    void SetLineStep(int32_t value);
    void SetPageStep(int32_t value);
    // True: ValueChanged while the thumb is dragged; false: once it is let go.
    void SetLiveScroll(bool value);
    // 0 none, 1 above or left, 2 below or right, 3 both sides.
    void SetTickStyle(int32_t value);

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
