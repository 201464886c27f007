#include "framework/gui/edit_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>

#include <array>
#include <string_view>

namespace framework {

namespace {

enum class Command { Undo, Cut, Copy, Paste, Clear, SelectAll, None };

Command CommandOf(const Text& name) {
    static constexpr std::array<std::pair<std::string_view, Command>, 6> names{{
        {"EditUndo", Command::Undo},
        {"EditCut", Command::Cut},
        {"EditCopy", Command::Copy},
        {"EditPaste", Command::Paste},
        {"EditClear", Command::Clear},
        {"EditSelectAll", Command::SelectAll},
    }};
    for (const auto& [text, command] : names) {
        if (name == text) {
            return command;
        }
    }
    return Command::None;
}

// A menu or the menu bar takes the keyboard focus while the operator works it (after Escape
// in a menu, or with Alt); the Edit items still mean the text that had it before. So they do
// while no widget has the focus (a window manager has not handed it back yet, say): the tool
// has one window.
bool WorksTheMenus(const QWidget* widget) {
    return !widget || qobject_cast<const QMenuBar*>(widget) || qobject_cast<const QMenu*>(widget);
}

QPointer<QPlainTextEdit>& TextBeforeMenus() {
    static QPointer<QPlainTextEdit> text;
    return text;
}

QPlainTextEdit* FocusedText() {
    QWidget* focus = QApplication::focusWidget();
    if (WorksTheMenus(focus)) {
        return TextBeforeMenus();
    }
    return qobject_cast<QPlainTextEdit*>(focus);
}

bool Applies(QPlainTextEdit* edit, Command command) {
    if (!edit) {
        return false;
    }
    const bool selection = edit->textCursor().hasSelection();
    const bool writable = !edit->isReadOnly();
    switch (command) {
    case Command::Undo:
        return writable && edit->document()->isUndoAvailable();
    case Command::Cut:
    case Command::Clear:
        return writable && selection;
    case Command::Copy:
        return selection;
    case Command::Paste:
        return writable && edit->canPaste();
    case Command::SelectAll:
        return !edit->document()->isEmpty();
    case Command::None:
        break;
    }
    return false;
}

} // namespace

void FollowTextFocus() {
    static QPointer<QCoreApplication> followed;
    QCoreApplication* app = QApplication::instance();
    if (!app || followed == app) {
        return;
    }
    followed = app;
    QObject::connect(qApp, &QApplication::focusChanged, app, [](QWidget*, QWidget* now) {
        if (!WorksTheMenus(now)) {
            TextBeforeMenus() = qobject_cast<QPlainTextEdit*>(now);
        }
    });
}

bool IsEditCommand(const Text& itemName) {
    return CommandOf(itemName) != Command::None;
}

bool EditCommandApplies(const Text& itemName) {
    return Applies(FocusedText(), CommandOf(itemName));
}

bool PerformEditCommand(const Text& itemName) {
    QPlainTextEdit* edit = FocusedText();
    const Command command = CommandOf(itemName);
    if (!Applies(edit, command)) {
        return false;
    }
    switch (command) {
    case Command::Undo:
        edit->undo();
        break;
    case Command::Cut:
        edit->cut();
        break;
    case Command::Copy:
        edit->copy();
        break;
    case Command::Paste:
        edit->paste();
        break;
    case Command::Clear:
        edit->textCursor().removeSelectedText();
        break;
    case Command::SelectAll:
        edit->selectAll();
        break;
    case Command::None:
        return false;
    }
    return true;
}

} // namespace framework
