#include "operator/desk_operator.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDrag>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <array>
#include <utility>

namespace {

int wheelEvents = 0;

class WheelCounter : public QObject {
protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            ++wheelEvents;
        }
        return false;
    }
};

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
};

// Every key but the letters, which are drawn apart. No Ctrl+Q.
const std::array<KeyCase, 35> kKeys{{
    {Qt::Key_Return, Qt::NoModifier, "Return"},
    {Qt::Key_Enter, Qt::KeypadModifier, "Enter"},
    {Qt::Key_Space, Qt::NoModifier, "Space"},
    {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
    {Qt::Key_Delete, Qt::NoModifier, "Delete"},
    {Qt::Key_Left, Qt::NoModifier, "Left"},
    {Qt::Key_Right, Qt::NoModifier, "Right"},
    {Qt::Key_Up, Qt::NoModifier, "Up"},
    {Qt::Key_Down, Qt::NoModifier, "Down"},
    {Qt::Key_Left, Qt::ShiftModifier, "Shift+Left"},
    {Qt::Key_Down, Qt::ShiftModifier, "Shift+Down"},
    {Qt::Key_Home, Qt::NoModifier, "Home"},
    {Qt::Key_End, Qt::NoModifier, "End"},
    {Qt::Key_End, Qt::ShiftModifier, "Shift+End"},
    {Qt::Key_Home, Qt::ControlModifier, "Ctrl+Home"},
    {Qt::Key_PageUp, Qt::NoModifier, "PageUp"},
    {Qt::Key_PageDown, Qt::NoModifier, "PageDown"},
    {Qt::Key_Tab, Qt::NoModifier, "Tab"},
    {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
    {Qt::Key_Escape, Qt::NoModifier, "Escape"},
    {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
    {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"},
    {Qt::Key_X, Qt::ControlModifier, "Ctrl+X"},
    {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
    {Qt::Key_Z, Qt::ControlModifier, "Ctrl+Z"},
    {Qt::Key_Y, Qt::ControlModifier, "Ctrl+Y"},
    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+Z"},
    {Qt::Key_Insert, Qt::ShiftModifier, "Shift+Insert"},
    {Qt::Key_Insert, Qt::ControlModifier, "Ctrl+Insert"},
    {Qt::Key_Delete, Qt::ShiftModifier, "Shift+Delete"},
    {Qt::Key_F, Qt::AltModifier, "Alt+F"},
    {Qt::Key_E, Qt::AltModifier, "Alt+E"},
    {Qt::Key_H, Qt::AltModifier, "Alt+H"},
    {Qt::Key_F10, Qt::NoModifier, "F10"},
    {Qt::Key_Alt, Qt::NoModifier, "Alt"},
}};

QMenu* OpenMenu() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

std::string At(QPoint p) {
    return " at " + std::to_string(p.x()) + "," + std::to_string(p.y());
}

} // namespace

DeskOperator::DeskOperator(QMainWindow* window, QAction* quit, uint32_t seed)
    : window_(window), quit_(quit), rng_(seed) {
    auto* counter = new WheelCounter;
    counter->setParent(qApp);
    qApp->installEventFilter(counter);
}

std::string DeskOperator::Step() {
    const uint32_t roll = rng_() % 100;
    if (roll < 40) {
        return Key();
    }
    if (roll < 55) {
        return Click(Qt::LeftButton, false);
    }
    if (roll < 60) {
        return Click(Qt::LeftButton, true);
    }
    if (roll < 65) {
        return Click(Qt::MiddleButton, false);
    }
    if (roll < 75) {
        return Drag();
    }
    if (roll < 80) {
        return Wheel();
    }
    if (roll < 92) {
        return Menu();
    }
    return Popup();
}

QWindow* DeskOperator::KeyWindow() const {
    QWindow* focus = QGuiApplication::focusWindow();
    return focus ? focus : window_->windowHandle();
}

std::string DeskOperator::Key() {
    KeyCase k{};
    std::string name;
    char letter = 0;
    if (rng_() % 3 == 0) {
        letter = static_cast<char>('a' + rng_() % 26);
        const bool shift = rng_() % 4 == 0;
        if (shift) {
            letter = static_cast<char>(letter - 'a' + 'A');
        }
        name = std::string("key '") + letter + "'";
    } else {
        k = kKeys[rng_() % kKeys.size()];
        name = std::string("key ") + k.name;
    }
    QMenu* menu = OpenMenu();
    // Quit's mnemonic in an open menu, or a key that would trigger Quit's highlighted row.
    if (menu && (letter == 'q' || letter == 'Q')) {
        return name + " (skipped: Quit's mnemonic)";
    }
    const bool triggers = k.key == Qt::Key_Return || k.key == Qt::Key_Enter ||
                          k.key == Qt::Key_Space || k.key == Qt::Key_Select;
    if (menu && triggers && menu->activeAction() == quit_) {
        return name + " (skipped: Quit is highlighted)";
    }
    Announce(name);
    if (letter != 0) {
        QTest::keyClick(KeyWindow(), letter,
                        letter >= 'A' && letter <= 'Z' ? Qt::ShiftModifier : Qt::NoModifier);
    } else {
        QTest::keyClick(KeyWindow(), k.key, k.modifiers);
    }
    return name;
}

QPoint DeskOperator::RandomPoint() {
    const uint32_t roll = rng_() % 10;
    QWidget* in = window_;
    if (QWidget* popup = QApplication::activePopupWidget(); popup && roll < 5) {
        in = popup;
    } else if (roll < 8 && !targets_.empty()) {
        in = targets_[rng_() % targets_.size()];
    }
    const int w = std::max(1, in->width());
    const int h = std::max(1, in->height());
    return in->mapToGlobal(QPoint(static_cast<int>(rng_() % static_cast<uint32_t>(w)),
                                  static_cast<int>(rng_() % static_cast<uint32_t>(h))));
}

bool DeskOperator::OverQuit(QPoint global) const {
    auto* menu = qobject_cast<QMenu*>(QApplication::widgetAt(global));
    return menu && menu->actionAt(menu->mapFromGlobal(global)) == quit_;
}

QPoint DeskOperator::SafeRelease(QPoint global) const {
    if (!OverQuit(global)) {
        return global;
    }
    // Off every menu: the lower left of the main window's content.
    return window_->mapToGlobal(QPoint(4, window_->height() - 4));
}

namespace {

// The window under the point, as the windowing system would deliver to it: an open pop-up or
// box when the point is on it, else the main window (which Qt hands on to an open pop-up).
QWindow* WindowAt(QPoint global, QMainWindow* fallback) {
    for (QWidget* top : {QApplication::activePopupWidget(), QApplication::activeModalWidget()}) {
        if (top && top->windowHandle() && top->frameGeometry().contains(global)) {
            return top->windowHandle();
        }
    }
    return fallback->windowHandle();
}

QPoint Inside(QWindow* window, QPoint global) {
    const QPoint local = window->mapFromGlobal(global);
    return QPoint(std::clamp(local.x(), 0, window->width() - 1),
                  std::clamp(local.y(), 0, window->height() - 1));
}

} // namespace

void DeskOperator::Press(QWindow* window, QPoint global, Qt::MouseButton button) {
    QTest::mousePress(window, button, Qt::NoModifier, Inside(window, global));
}

void DeskOperator::Release(QWindow* window, QPoint global, Qt::MouseButton button) {
    if (window) {
        QTest::mouseRelease(window, button, Qt::NoModifier, Inside(window, SafeRelease(global)));
    }
}

void DeskOperator::Move(QWindow* window, QPoint global) {
    if (window) {
        QTest::mouseMove(window, Inside(window, global));
    }
}

std::string DeskOperator::Click(Qt::MouseButton button, bool twice) {
    const QPoint at = RandomPoint();
    std::string name = button == Qt::MiddleButton ? "middle click"
                       : twice                    ? "double click"
                                                  : "click";
    name += At(at);
    if (OverQuit(at)) {
        return name + " (skipped: Quit's row)";
    }
    Announce(name);
    QPointer<QWindow> window = WindowAt(at, window_);
    if (twice) {
        // Pressed again at once, the second press makes the double click.
        QTest::mouseDClick(window, button, Qt::NoModifier, Inside(window, at));
        return name;
    }
    Press(window, at, button);
    Release(window, at, button);
    return name;
}

std::string DeskOperator::Drag() {
    const QPoint from = RandomPoint();
    if (OverQuit(from)) {
        return "drag" + At(from) + " (skipped: Quit's row)";
    }
    QPointer<QWindow> window = WindowAt(from, window_);
    // The drag stays in the window pressed, which holds the pointer until the release.
    const QRect area(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QPoint to(area.left() + static_cast<int>(rng_() % static_cast<uint32_t>(area.width())),
                    area.top() + static_cast<int>(rng_() % static_cast<uint32_t>(area.height())));
    std::string name = "drag" + At(from) + " to" + At(to);
    Announce(name);
    Press(window, from, Qt::LeftButton);
    // Moving selected text starts drag and drop, whose own event loop holds the move call until
    // the button comes up: from inside that loop the operator lets go at the end point, and
    // presses Escape should the drop not finish.
    bool released = false;
    int ticks = 0;
    QTimer finish;
    QObject::connect(&finish, &QTimer::timeout, [&] {
        if (window_->findChildren<QDrag*>().isEmpty()) {
            return;
        }
        if (!released && window) {
            released = true;
            name += " (dropped)";
            Release(window, to, Qt::LeftButton);
        } else if (++ticks >= 5) {
            name += " (Escape)";
            QTest::keyClick(KeyWindow(), Qt::Key_Escape);
        }
    });
    finish.start(100);
    const int moves = 2 + static_cast<int>(rng_() % 5);
    for (int i = 1; i <= moves && window && !released; ++i) {
        Move(window, from + (to - from) * i / moves);
    }
    finish.stop();
    if (!released) {
        Release(window, to, Qt::LeftButton);
    }
    return name;
}

std::string DeskOperator::Wheel() {
    const QPoint at = RandomPoint();
    const bool up = rng_() % 2 == 0;
    const std::string name = std::string("wheel ") + (up ? "up" : "down") + At(at);
    const int before = wheelEvents;
    Announce(name);
    const int exit =
        QProcess::execute("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()),
                                      "click", up ? "4" : "5"});
    if (exit != 0) {
        return name + " (skipped: xdotool failed)";
    }
    QElapsedTimer waited;
    waited.start();
    while (wheelEvents == before && waited.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return name + (wheelEvents == before ? " (not delivered)" : "");
}

void DeskOperator::ChooseMenu(QAction* title, QAction* entry) {
    QMenuBar* bar = window_->menuBar();
    const QPoint titleAt = bar->mapToGlobal(bar->actionGeometry(title).center());
    QPointer<QWindow> window = WindowAt(titleAt, window_);
    Press(window, titleAt, Qt::LeftButton);
    Release(window, titleAt, Qt::LeftButton);
    QMenu* menu = title->menu();
    if (!menu || !menu->isVisible() || entry == quit_) {
        return;
    }
    const QPoint entryAt = menu->mapToGlobal(menu->actionGeometry(entry).center());
    window = WindowAt(entryAt, window_);
    Press(window, entryAt, Qt::LeftButton);
    Release(window, entryAt, Qt::LeftButton);
}

std::string DeskOperator::Menu() {
    if (menuEntries_.empty()) {
        return "menu (none)";
    }
    const auto& [title, entry] = menuEntries_[rng_() % menuEntries_.size()];
    const std::string name = "menu " + title->text().toStdString() + " > " +
                             entry->text().toStdString() +
                             (entry->isEnabled() ? "" : " (disabled)");
    Announce(name);
    ChooseMenu(title, entry);
    return name;
}

bool DeskOperator::PickRow(QWidget* combo, int row) {
    auto* box = qobject_cast<QComboBox*>(combo);
    if (!box) {
        return false;
    }
    if (!box->view()->isVisible()) {
        ClickWidget(box);
    }
    QAbstractItemView* view = box->view();
    if (!view->isVisible() || row < 0 || row >= box->count()) {
        return false;
    }
    const QRect rect = view->visualRect(box->model()->index(row, 0));
    const QPoint at = view->viewport()->mapToGlobal(rect.center());
    QPointer<QWindow> window = WindowAt(at, window_);
    Press(window, at, Qt::LeftButton);
    Release(window, at, Qt::LeftButton);
    return true;
}

std::string DeskOperator::Popup() {
    std::vector<QComboBox*> combos;
    for (QWidget* target : targets_) {
        if (auto* box = qobject_cast<QComboBox*>(target)) {
            combos.push_back(box);
        }
    }
    if (combos.empty()) {
        return "pop-up (none)";
    }
    QComboBox* box = combos[rng_() % combos.size()];
    const int row = static_cast<int>(rng_() % static_cast<uint32_t>(box->count() + 2)) - 1;
    const std::string name =
        "pop-up " + box->objectName().toStdString() + " row " + std::to_string(row);
    Announce(name);
    if (row < 0) {
        ClickWidget(box);
        return name + " (opened only)";
    }
    return name + (PickRow(box, row) ? "" : " (list did not open)");
}

void DeskOperator::ClickWidget(QWidget* widget) {
    const QPoint at = widget->mapToGlobal(widget->rect().center());
    QPointer<QWindow> window = WindowAt(at, window_);
    Press(window, at, Qt::LeftButton);
    Release(window, at, Qt::LeftButton);
}

bool DeskOperator::ClickWidgetOnDisplay(QWidget* widget) {
    const QPoint at = widget->mapToGlobal(widget->rect().center());
    return QProcess::execute("xdotool", {"mousemove", QString::number(at.x()),
                                         QString::number(at.y()), "click", "1"}) == 0;
}

bool DeskOperator::EscapePopups() {
    for (int i = 0; i < 5 && QApplication::activePopupWidget(); ++i) {
        QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Escape);
    }
    return QApplication::activePopupWidget() == nullptr;
}

BoxCloser::BoxCloser(uint32_t seed) : rng_(seed), timer_(new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_->start(20);
}

std::vector<QString> BoxCloser::TakeTexts() {
    return std::exchange(texts_, {});
}

void BoxCloser::Tick() {
    EndDrag();
    QWidget* box = QApplication::activeModalWidget();
    if (!box) {
        seen_ = nullptr;
        return;
    }
    if (box != seen_) {
        seen_ = box;
        ticks_ = 0;
        auto* message = qobject_cast<QMessageBox*>(box);
        texts_.push_back(message ? message->text() : box->metaObject()->className());
    }
    // The operator reads it first.
    if (++ticks_ < 3 || !box->windowHandle()) {
        return;
    }
    switch (rng_() % 3) {
    case 0:
        QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
        break;
    case 1:
        QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        break;
    default:
        if (auto* message = qobject_cast<QMessageBox*>(box);
            message && !message->buttons().empty()) {
            QAbstractButton* button = message->buttons().first();
            QTest::mouseClick(box->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              button->mapTo(box, button->rect().center()));
        } else {
            QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
        }
    }
}

void BoxCloser::EndDrag() {
    QDrag* drag = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (const auto drags = top->findChildren<QDrag*>(); !drags.isEmpty()) {
            drag = drags.first();
        }
    }
    if (!drag) {
        dragTicks_ = 0;
        return;
    }
    // A drag the text area's own auto-scroll started, with no button held: the operator clicks
    // where the pointer is, then tries Escape.
    ++dragTicks_;
    QWindow* window = QGuiApplication::focusWindow();
    if (!window) {
        return;
    }
    if (dragTicks_ == 3) {
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier,
                            window->mapFromGlobal(QCursor::pos()));
    } else if (dragTicks_ > 5) {
        QTest::keyClick(window, Qt::Key_Escape);
    }
}
