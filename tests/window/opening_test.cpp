#include "support/program_fixture.h"
#include "support/raised.h"

#include "framework/core/yield.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>

namespace {

// A slider by class whose widget cannot stand vertical: the native step fails on it.
class SliderWithoutOrientation : public framework::Slider {
protected:
    QWidget* CreateWidget(QWidget* parent) override { return new QLabel(parent); }
    void ApplyOwnProperties() override {}
};

std::shared_ptr<framework::Slider> AddSlider(class wdwMain& window, const char* name, int32_t width,
                                             int32_t height,
                                             std::shared_ptr<framework::Slider> slider = nullptr) {
    if (!slider) {
        slider =
            framework::RuntimeCheckCast<framework::Slider>(window.New(framework::Slider::Record()));
    } else {
        slider->SetWindow(std::static_pointer_cast<framework::Window>(window.shared_from_this()));
    }
    slider->Constructor();
    window.AddControl(name, slider);
    slider->SetWidth(width);
    slider->SetHeight(height);
    return slider;
}

bool Vertical(const framework::Slider& slider) {
    return static_cast<QSlider*>(slider.Handle())->orientation() == Qt::Vertical;
}

} // namespace

using MainWindowOpening = ProgramTest;

TEST_F(MainWindowOpening, TurnsOnlySlidersNarrowerThanHigh) {
    auto window = OpenMainWindow();
    EXPECT_TRUE(Vertical(*window->clBrightness()));
    const struct {
        int32_t width, height;
        bool vertical;
    } sizes[] = {{100, 20, false}, {40, 40, false}, {20, 100, true}, {20, 21, true}};
    std::vector<std::shared_ptr<framework::Slider>> added;
    for (const auto& size : sizes) {
        added.push_back(AddSlider(*window, "extra", size.width, size.height));
    }
    const uint64_t yieldsBefore = framework::YieldCount();
    window->Event_Open();
    EXPECT_EQ(framework::YieldCount() - yieldsBefore,
              static_cast<uint64_t>(window->ControlCount()));
    for (std::size_t i = 0; i < added.size(); ++i) {
        EXPECT_EQ(Vertical(*added[i]), sizes[i].vertical)
            << sizes[i].width << "x" << sizes[i].height;
    }
    EXPECT_TRUE(Vertical(*window->clBrightness()));
}

TEST_F(MainWindowOpening, SliderOpenHandlerTurnsEvenASquareSlider) {
    auto window = OpenMainWindow();
    auto square = AddSlider(*window, "square", 40, 40);
    ASSERT_FALSE(Vertical(*square));
    window->clBrightness_Open(square);
    EXPECT_TRUE(Vertical(*square));
}

TEST_F(MainWindowOpening, PassEndsAtAFailingNativeStep) {
    auto window = OpenMainWindow();
    const auto failing = static_cast<uint64_t>(window->ControlCount());
    AddSlider(*window, "broken", 20, 100, std::make_shared<SliderWithoutOrientation>());
    auto later = AddSlider(*window, "later", 20, 100);
    const uint64_t yieldsBefore = framework::YieldCount();
    EXPECT_EQ(Raised([&] { window->Event_Open(); }), "NativeCallException");
    EXPECT_EQ(framework::YieldCount() - yieldsBefore, failing);
    EXPECT_FALSE(Vertical(*later));
}

TEST_F(MainWindowOpening, LogsTakeAFixedPitchFontAndKeepTheirText) {
    auto window = OpenMainWindow();
    const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    using OpenHandler = void (wdwMain::*)(const std::shared_ptr<framework::TextArea>&);
    const std::pair<std::shared_ptr<framework::TextArea>, OpenHandler> logs[] = {
        {window->taSent(), &wdwMain::taSent_Open},
        {window->taReceived(), &wdwMain::taReceived_Open},
    };
    for (const auto& [log, open] : logs) {
        SCOPED_TRACE(log->Name());
        EXPECT_EQ(log->Handle()->font().family().toStdString(), "Courier");
        EXPECT_TRUE(QFontInfo(log->Handle()->font()).fixedPitch());
        EXPECT_EQ(log->Handle()->font().pointSizeF(), general.pointSizeF());

        log->SetTextFont("System");
        log->AppendText("\r\nV0\r\nI1");
        const framework::Text before = log->Text();
        const QString shown = static_cast<QPlainTextEdit*>(log->Handle())->toPlainText();
        ((*window).*open)(log);
        EXPECT_EQ(log->Text(), before);
        EXPECT_EQ(static_cast<QPlainTextEdit*>(log->Handle())->toPlainText(), shown);
        EXPECT_TRUE(QFontInfo(log->Handle()->font()).fixedPitch());
    }
}
