#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QTimer;
class QWidget;
class QWindow;

// A desk operator at the real window: key presses, clicks, double and middle clicks, drags,
// wheel turns and menu choices picked at random from a seed, sent the way the windowing system
// sends them (QTest's window-level input for keys and buttons, the X test extension through
// xdotool for the wheel), so that shortcuts, focus, pop-ups and the X clipboard behave as on a
// desktop. It never chooses Quit, by menu, mnemonic or shortcut.
class DeskOperator {
public:
    DeskOperator(QMainWindow* window, QAction* quit, uint32_t seed);

    // Takes one random step; gives what it did, for the log.
    std::string Step();

    // Closes pop-ups with Escape as the operator would; false when one stays open.
    bool EscapePopups();
    // Clicks the centre of a widget of the main window.
    void ClickWidget(QWidget* widget);
    // The same through the X server, as a real mouse does; false when xdotool failed.
    bool ClickWidgetOnDisplay(QWidget* widget);
    // Opens the combo box's list and clicks its row; false when the list did not open.
    bool PickRow(QWidget* combo, int row);
    // Clicks a menu title in the bar, then the entry's row in its menu.
    void ChooseMenu(QAction* title, QAction* entry);

    // The menu entries the operator may choose, with their menu titles.
    void SetMenuEntries(std::vector<std::pair<QAction*, QAction*>> entries) {
        menuEntries_ = std::move(entries);
    }
    // Told each step before its input goes out, so that a step that never returns is known.
    void SetAnnounce(std::function<void(const std::string&)> announce) {
        announce_ = std::move(announce);
    }
    // The main window's controls, to aim clicks at.
    void SetTargets(std::vector<QWidget*> targets) { targets_ = std::move(targets); }

private:
    std::string Key();
    std::string Click(Qt::MouseButton button, bool twice);
    std::string Drag();
    std::string Wheel();
    std::string Menu();
    std::string Popup();

    void Announce(const std::string& step) const {
        if (announce_) {
            announce_(step);
        }
    }
    QPoint RandomPoint();
    QWindow* KeyWindow() const;
    bool OverQuit(QPoint global) const;
    void Press(QWindow* window, QPoint global, Qt::MouseButton button);
    void Release(QWindow* window, QPoint global, Qt::MouseButton button);
    void Move(QWindow* window, QPoint global);
    // Where the release lands: the point, unless Quit's row is under it.
    QPoint SafeRelease(QPoint global) const;

    QMainWindow* window_;
    QAction* quit_;
    std::mt19937 rng_;
    std::vector<std::pair<QAction*, QAction*>> menuEntries_;
    std::vector<QWidget*> targets_;
    std::function<void(const std::string&)> announce_;
};

// Closes modal boxes as they open, as an operator would (Escape, Return or a click on the
// button), from a timer that runs inside the box's own event loop, and ends drags that nothing
// else ends. Keeps each box's text.
class BoxCloser : public QObject {
public:
    explicit BoxCloser(uint32_t seed);
    // The texts of the boxes seen since the last call.
    std::vector<QString> TakeTexts();

private:
    void Tick();
    void EndDrag();

    std::mt19937 rng_;
    int dragTicks_ = 0;
    QTimer* timer_;
    QWidget* seen_ = nullptr;
    int ticks_ = 0;
    std::vector<QString> texts_;
};
