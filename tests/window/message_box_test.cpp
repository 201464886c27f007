#include "support/program_fixture.h"

#include "framework/gui/runtime.h"
#include "framework/gui/serial_connection.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <optional>
#include <stdexcept>

namespace {

// How a message box stood while it was open.
struct ShownBox {
    QWidget* parent;
    QRect frame;
    QString text;
    Qt::TextFormat format;
    bool modal;
};

// Runs the action that opens a real message box, notes how the box stands once it is shown and
// closes it. Gives nothing when no box came; whatever modal window stands after five seconds is
// closed, so a box never found cannot hang the test.
std::optional<ShownBox> OpenAndClose(const std::function<void()>& open) {
    std::optional<ShownBox> seen;
    QTimer watcher;
    watcher.setInterval(10);
    int ticks = 0;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box && box->isVisible()) {
            seen = ShownBox{box->parentWidget(), box->frameGeometry(), box->text(),
                            box->textFormat(), box->isModal()};
            box->done(QMessageBox::Ok);
        } else if (++ticks > 500 && modal) {
            modal->close();
        }
    });
    watcher.start();
    open();
    watcher.stop();
    return seen;
}

// Qt centres a box over its parent's frame; where the window system reports no frames (Xvfb
// without a window manager) it leaves room for a frame it assumes, up to 10 px across and 40
// down, so the box may stand that much above and left of the middle.
bool CentredOver(QPoint box, QPoint middle) {
    const QPoint off = middle - box;
    return off.x() >= -2 && off.x() <= 12 && off.y() >= -2 && off.y() <= 42;
}

struct BoxCase {
    const char* name;
    std::function<void(class wdwMain&)> open;
    std::string text;
};

void PrintTo(const BoxCase& c, std::ostream* os) {
    *os << c.name;
}

class MessageBoxOverMainWindow : public ProgramTest,
                                 public ::testing::WithParamInterface<BoxCase> {};

// Each box is the main window's own: it opens centred over the window wherever the window
// stands, modal, with its text as plain text.
TEST_P(MessageBoxOverMainWindow, OpensCentredOverTheWindowAsItsChild) {
    framework::SetMsgBoxPresenter(nullptr);
    framework::SetSerialPortSource([] {
        return std::vector<framework::SerialPortEntry>{{"ttyQUARRENDEL0", "/nonexistent/tty"}};
    });
    auto window = OpenMainWindow();
    QWidget* main = window->Widget();
    // Away from the middle of the screen, where a box without a parent would stand.
    main->move(main->screen()->availableGeometry().topLeft());
    ProcessEvents();
    const QPoint middle = main->frameGeometry().center();
    ASSERT_GT((middle - main->screen()->availableGeometry().center()).manhattanLength(), 100);

    const auto box = OpenAndClose([&] { GetParam().open(*window); });

    ASSERT_TRUE(box) << "no message box opened";
    EXPECT_EQ(box->parent, main);
    EXPECT_TRUE(CentredOver(box->frame.center(), middle))
        << "box centre " << box->frame.center().x() << "," << box->frame.center().y()
        << ", window centre " << middle.x() << "," << middle.y();
    EXPECT_EQ(box->text.toStdString(), GetParam().text);
    EXPECT_EQ(box->format, Qt::PlainText);
    EXPECT_TRUE(box->modal);
    EXPECT_TRUE(messages.empty());
}

const BoxCase kBoxCases[] = {
    {"About", [](class wdwMain& w) { w.HelpAbout_Action(); },
     "\nQuarrendel Test Programme\nCopyright 2026 Tamsin Verrall"},
    {"OpenFailure", [](class wdwMain& w) { w.pmPorts()->Pick(0); }, "Couldn't open the device: 2"},
    {"UnhandledException",
     [](class wdwMain&) {
         framework::InvokeHandler([] { throw std::runtime_error("<b>lamp</b> stalled"); });
     },
     "An error was not handled.\n<b>lamp</b> stalled"},
};

INSTANTIATE_TEST_SUITE_P(MessageBoxes, MessageBoxOverMainWindow, ::testing::ValuesIn(kBoxCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
