// The operator's clipboard and Edit menu on the two logs, driven by keys and mouse as on a
// desktop. These also run on xcb under Xvfb, where the clipboard and the menu bar's keyboard
// mode are the real ones.
#include "support/program_fixture.h"

#include "framework/gui/text_area.h"
#include "framework/gui/text_area_view.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include <functional>

namespace {

using LogAccessor = std::shared_ptr<framework::TextArea> (wdwMain::*)();

struct Log {
    const char* name;
    LogAccessor accessor;
};
const Log kLogs[] = {{"taSent", &wdwMain::taSent}, {"taReceived", &wdwMain::taReceived}};

class EditMenu : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        window = OpenMainWindow();
        QMainWindow* widget = window->Widget();
        widget->show();
        widget->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
        menuBar = widget->findChild<QMenuBar*>();
        ASSERT_NE(menuBar, nullptr);
    }
    void TearDown() override {
        QApplication::clipboard()->clear(QClipboard::Clipboard);
        QApplication::clipboard()->clear(QClipboard::Selection);
        window.reset();
        ProgramTest::TearDown();
    }

    QPlainTextEdit* Focus(const Log& log) {
        auto* edit = qobject_cast<QPlainTextEdit*>(((*window).*log.accessor)()->Handle());
        edit->setFocus();
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), edit);
        return edit;
    }
    framework::Text TextOf(const Log& log) { return ((*window).*log.accessor)()->Text(); }

    // Keys go where the X server would send them: the open pop-up, else the focus.
    static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::activePopupWidget();
        if (!target) {
            target = QApplication::focusWidget();
        }
        QTest::keyClick(target, key, modifiers);
        QCoreApplication::processEvents();
    }
    QAction* EditTitle() const {
        for (QAction* action : menuBar->actions()) {
            if (action->text() == "&Edit") {
                return action;
            }
        }
        return nullptr;
    }
    QMenu* OpenEdit(bool byMouse) {
        if (byMouse) {
            QTest::mouseClick(menuBar, Qt::LeftButton, {},
                              menuBar->actionGeometry(EditTitle()).center());
        } else {
            Key(Qt::Key_E, Qt::AltModifier);
        }
        QCoreApplication::processEvents();
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_NE(menu, nullptr);
        return menu;
    }
    // What a menu of the Edit items says is enabled, by item caption.
    static std::vector<std::string> Enabled(QMenu* menu) {
        std::vector<std::string> names;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->isEnabled()) {
                names.push_back(action->text().toStdString());
            }
        }
        return names;
    }

    wdwMainRef window;
    QMenuBar* menuBar = nullptr;
};

const std::vector<std::string> kAllEditItems{"&Undo",  "Cu&t",    "&Copy",
                                             "&Paste", "&Delete", "Select &All"};

// The operator typed "abc" after the program's "ok" line and selected it; "P" is on the
// clipboard. Each item is chosen by its access key after Escape closed the menu once.
const struct {
    const char* item;
    Qt::Key accessKey;
    const char* logAfter;
    const char* clipboardAfter;
    bool allSelected;
} kEditChoices[] = {
    {"Undo", Qt::Key_U, "ok\n", "P", false},      {"Cut", Qt::Key_T, "ok\n", "abc", false},
    {"Copy", Qt::Key_C, "ok\nabc", "abc", false}, {"Paste", Qt::Key_P, "ok\nP", "P", false},
    {"Delete", Qt::Key_D, "ok\n", "P", false},    {"Select All", Qt::Key_A, "ok\nabc", "P", true},
};

TEST_F(EditMenu, ItemsActOnTheLogThatHadTheFocusAfterEscapeInTheMenu) {
    for (const Log& log : kLogs) {
        for (const bool byMouse : {false, true}) {
            for (const auto& choice : kEditChoices) {
                SCOPED_TRACE(std::string(log.name) + (byMouse ? " by mouse, " : " by keys, ") +
                             choice.item);
                ((*window).*log.accessor)()->SetText("ok\n");
                QPlainTextEdit* edit = Focus(log);
                edit->moveCursor(QTextCursor::End);
                QTest::keyClicks(edit, "abc");
                Key(Qt::Key_Home, Qt::ShiftModifier);
                QApplication::clipboard()->setText("P");

                QMenu* menu = OpenEdit(byMouse);
                ASSERT_NE(menu, nullptr);
                EXPECT_EQ(Enabled(menu), kAllEditItems);
                Key(Qt::Key_Escape);
                ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
                menu = OpenEdit(byMouse);
                ASSERT_NE(menu, nullptr);
                EXPECT_EQ(Enabled(menu), kAllEditItems);
                Key(choice.accessKey);
                EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

                EXPECT_EQ(TextOf(log), choice.logAfter);
                EXPECT_EQ(edit->toPlainText().toStdString(), choice.logAfter);
                EXPECT_EQ(QApplication::clipboard()->text().toStdString(), choice.clipboardAfter);
                EXPECT_EQ(edit->textCursor().selectedText().size() == edit->toPlainText().size(),
                          choice.allSelected);
            }
        }
    }
}

TEST_F(EditMenu, ItemsStayOffWhenTheFocusLeftTheLogsBeforeTheMenu) {
    ((*window).*kLogs[0].accessor)()->SetText("ok\n");
    QPlainTextEdit* edit = Focus(kLogs[0]);
    edit->selectAll();
    QApplication::clipboard()->setText("P");
    window->btOn()->Handle()->setFocus();
    QCoreApplication::processEvents();
    for (const bool byMouse : {false, true}) {
        QMenu* menu = OpenEdit(byMouse);
        ASSERT_NE(menu, nullptr);
        Key(Qt::Key_Escape);
        menu = OpenEdit(byMouse);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(Enabled(menu), std::vector<std::string>{});
        Key(Qt::Key_Escape);
        Key(Qt::Key_Escape);
    }
    EXPECT_EQ(TextOf(kLogs[0]), "ok\n");
}

// Ways an operator pastes or drops when there is nothing to paste.
const struct {
    const char* how;
    std::function<void(QPlainTextEdit*)> act;
} kEmptyPastes[] = {
    {"Ctrl+V", [](QPlainTextEdit* e) { QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier); }},
    {"Shift+Insert",
     [](QPlainTextEdit* e) { QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier); }},
    {"middle click",
     [](QPlainTextEdit* e) {
         QTest::mouseClick(e->viewport(), Qt::MiddleButton, {}, e->viewport()->rect().center());
     }},
    {"drop without text",
     [](QPlainTextEdit* e) {
         QMimeData data;
         data.setData("application/octet-stream", QByteArray("\x01\x02", 2));
         const QPointF at = e->viewport()->rect().center();
         QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
         QCoreApplication::sendEvent(e->viewport(), &enter);
         QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
         QCoreApplication::sendEvent(e->viewport(), &drop);
     }},
};

// What the clipboard holds when there is nothing to paste: nothing owned at all, or data
// that holds no format.
const struct {
    const char* what;
    std::function<void()> make;
} kNothingCopied[] = {
    {"cleared",
     [] {
         QApplication::clipboard()->clear(QClipboard::Clipboard);
         QApplication::clipboard()->clear(QClipboard::Selection);
     }},
    {"no format",
     [] {
         QApplication::clipboard()->setMimeData(new QMimeData, QClipboard::Clipboard);
         if (QApplication::clipboard()->supportsSelection()) {
             QApplication::clipboard()->setMimeData(new QMimeData, QClipboard::Selection);
         }
     }},
};

TEST_F(EditMenu, PastingNothingLeavesTheLogAsItWas) {
    for (const Log& log : kLogs) {
        for (const auto& nothing : kNothingCopied) {
            for (const auto& paste : kEmptyPastes) {
                SCOPED_TRACE(std::string(log.name) + ", " + nothing.what + ", " + paste.how);
                ((*window).*log.accessor)()->SetText("ok\r\xff~");
                QPlainTextEdit* edit = Focus(log);
                const QString shown = edit->toPlainText();
                nothing.make();
                paste.act(edit);
                QCoreApplication::processEvents();
                EXPECT_EQ(TextOf(log), "ok\r\xff~");
                EXPECT_EQ(edit->toPlainText(), shown);
            }
        }
    }
}

// Pasted text goes in as the text alone, and shows as the log shows bytes, so the log shows
// what it holds.
TEST_F(EditMenu, PastedTextGoesInAsTheTextAloneShownAsTheLogShowsBytes) {
    const struct {
        const char* what;
        QString format;
        QString text;
        framework::Text held;
    } cases[] = {
        {"Markdown offered first", "text/markdown", "# *B* <", "# *B* <"},
        {"a line separator", "", u"a\u2028b"_qs, "a\xE2\x80\xA8" "b"},
        {"a control character", "", "x\x01y", "x\x01y"},
        {"a picture of one, copied from a log", "", u"x\u2401y"_qs, "x\x01y"},
    };
    const Log& log = kLogs[0];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ((*window).*log.accessor)()->SetText("");
        QPlainTextEdit* edit = Focus(log);
        auto* data = new QMimeData;
        if (!c.format.isEmpty()) {
            data->setData(c.format, c.text.toUtf8());
        }
        data->setText(c.text);
        QApplication::clipboard()->setMimeData(data);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(TextOf(log), c.held);
        EXPECT_EQ(edit->document()->firstBlock().text(), framework::ShownText(c.held));
        EXPECT_EQ(edit->document()->blockCount(), 1);
    }
}

} // namespace
