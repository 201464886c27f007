#include "framework/core/property_record.h"
#include "framework/gui/edit_commands.h"
#include "framework/gui/menu.h"
#include "framework/gui/popup_menu.h"
#include "framework/gui/push_button.h"
#include "framework/gui/runtime.h"
#include "framework/gui/text_area.h"
#include "framework/gui/window.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

using namespace framework;

// A window that counts how it is built and what its handlers see.
class TestWindow : public Window {
    FRAMEWORK_CLASS()
public:
    std::vector<std::string> events;
    std::function<void()> onAction;
    void Layout() override { events.push_back("Layout"); }
    void CreateControls() override {
        events.push_back("CreateControls");
        auto list = New(PopupMenu::Record());
        std::static_pointer_cast<RectControl>(list)->Constructor();
        AddControl("list", list);
        auto button = New(PushButton::Record());
        std::static_pointer_cast<RectControl>(button)->Constructor();
        AddControl("button", button);
        auto text = New(TextArea::Record());
        std::static_pointer_cast<RectControl>(text)->Constructor();
        AddControl("text", text);
    }
    void AddMenuHandlers(const std::shared_ptr<Window>&) override {
        events.push_back("AddMenuHandlers");
    }
    void Open() override { events.push_back("Open"); }
    void Changed(const std::shared_ptr<PopupMenu>& list) {
        events.push_back("Change " + std::to_string(list->ListIndex()));
    }
    void Pressed(const std::shared_ptr<PushButton>&) {
        if (onAction) {
            onAction();
        }
    }
    bool About() {
        events.push_back("About");
        return true;
    }
};

const ClassRecord& TestWindow::Record() {
    static const ClassRecord record{
        "TestWindow", &Window::Record(), [] { return std::make_shared<TestWindow>(); }, {}};
    return record;
}

class FrameworkWindow : public ::testing::Test {
protected:
    void SetUp() override {
        RuntimeInit();
        RuntimePerformInitializers({{"Test", {&TestWindow::Record}, nullptr, nullptr}});
        SetMsgBoxPresenter([this](const Text& text) { messages.push_back(text); });
        window = RuntimeCheckCast<TestWindow>(RuntimeNewObject(TestWindow::Record()));
        window->Constructor();
    }
    void TearDown() override {
        window.reset();
        RuntimePerformFinalizers();
        RuntimeExit();
        SetMsgBoxPresenter(nullptr);
    }
    std::shared_ptr<PopupMenu> List() {
        return RuntimeCheckCast<PopupMenu>(window->ControlByName("list"));
    }
    std::shared_ptr<TestWindow> window;
    std::vector<Text> messages;
};

TEST_F(FrameworkWindow, RaisesItsBuildEventsOnceInOrderThenOpens) {
    EXPECT_EQ(window->events,
              (std::vector<std::string>{"Layout", "CreateControls", "AddMenuHandlers", "Open"}));
    EXPECT_EQ(GetImplicitWindow("TestWindow"), window);
    EXPECT_EQ(window->ControlCount(), 3);
    EXPECT_THROW(window->Control(3), OutOfBoundsException);
    EXPECT_EQ(window->ControlByName("missing"), nullptr);
}

TEST_F(FrameworkWindow, PopupRaisesChangeOncePerSelectionSetOrPicked) {
    auto list = List();
    RuntimeAddEventHandler(
        list, "Change",
        RuntimeCreateDelegate(&TestWindow::Changed, window, "( PopupMenu )", kDelegateWeakBinding));
    list->SetInitialValue("a\rb\rc");
    window->events.clear();
    list->SetListIndex(1);
    list->SetListIndex(1); // the same row again
    list->SetListIndex(7); // outside the rows: selects nothing
    list->Pick(2);
    list->Pick(2); // the operator picks the selected row
    EXPECT_EQ(window->events, (std::vector<std::string>{"Change 1", "Change 1", "Change -1",
                                                        "Change 2", "Change 2"}));
    EXPECT_EQ(List()->ListCount(), 3);
}

TEST_F(FrameworkWindow, RefusesWiringThatDoesNotFit) {
    auto list = List();
    const auto handler = RuntimeCreateDelegate(&TestWindow::Changed, window, "( PopupMenu )", 1);
    EXPECT_THROW(RuntimeAddEventHandler(list, "Action", handler), DelegateSignatureException);
    EXPECT_THROW(RuntimeCreateDelegate(&TestWindow::Changed, window, "( Slider )", 1),
                 DelegateSignatureException);
    RuntimeAddEventHandler(list, "Change", handler);
    EXPECT_THROW(RuntimeAddEventHandler(list, "Change", handler), RuntimeException);
    EXPECT_THROW(window->AddMenuHandler("X", handler), DelegateSignatureException);
}

TEST_F(FrameworkWindow, AnExceptionInAHandlerIsReportedAndTheToolGoesOn) {
    auto button = RuntimeCheckCast<PushButton>(window->ControlByName("button"));
    RuntimeAddEventHandler(button, "Action",
                           RuntimeCreateDelegate(&TestWindow::Pressed, window, "( PushButton )",
                                                 kDelegateWeakBinding));
    window->onAction = [] { throw NilObjectException("nothing there"); };
    button->Push();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("NilObjectException"), Text::npos);
    window->onAction = nullptr;
    button->Push();
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(FrameworkWindow, ClosingInsideAHandlerKeepsTheWindowUntilNoHandlerRuns) {
    auto button = RuntimeCheckCast<PushButton>(window->ControlByName("button"));
    RuntimeAddEventHandler(button, "Action",
                           RuntimeCreateDelegate(&TestWindow::Pressed, window, "( PushButton )",
                                                 kDelegateWeakBinding));
    std::weak_ptr<TestWindow> weak = window;
    bool aliveAfterClose = false;
    window->onAction = [&] {
        weak.lock()->Widget()->close();
        QCoreApplication::processEvents(); // a yield inside the handler
        QCoreApplication::processEvents();
        aliveAfterClose = !weak.expired() && weak.lock()->Widget() != nullptr;
    };
    window.reset();
    button->Push();
    EXPECT_TRUE(aliveAfterClose);
    for (int i = 0; i < 10 && !weak.expired(); ++i) {
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(OpenWindows().empty());
}

TEST_F(FrameworkWindow, MenuChoiceGoesToTheWindowsHandlerByName) {
    auto item = RuntimeCheckCast<MenuItem>(RuntimeNewObject(MenuItem::Record()));
    item->Constructor();
    item->SetName("HelpAbout");
    window->AddMenuHandler("HelpAbout",
                           RuntimeCreateDelegate(&TestWindow::About, window, "(  ) as Boolean", 1));
    window->events.clear();
    item->VisibleAction()->trigger();
    EXPECT_EQ(window->events, std::vector<std::string>{"About"});
}

TEST_F(FrameworkWindow, EditCommandsActOnTheFocusedTextOnlyWhenTheyApply) {
    auto area = RuntimeCheckCast<TextArea>(window->ControlByName("text"));
    auto* edit = qobject_cast<QPlainTextEdit*>(area->Handle());
    window->Widget()->show();
    QApplication::setActiveWindow(window->Widget());
    edit->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), edit);

    area->AppendText("abc");
    EXPECT_FALSE(EditCommandApplies("EditCopy")); // nothing selected
    EXPECT_TRUE(EditCommandApplies("EditSelectAll"));
    EXPECT_TRUE(PerformEditCommand("EditSelectAll"));
    EXPECT_TRUE(EditCommandApplies("EditCut"));
    EXPECT_TRUE(PerformEditCommand("EditClear"));
    EXPECT_EQ(area->Text(), ""); // the operator's edit reached the text
    area->AppendText("xyz");
    area->SetReadOnly(true);
    edit->selectAll();
    EXPECT_TRUE(EditCommandApplies("EditCopy"));
    EXPECT_FALSE(EditCommandApplies("EditCut"));
    EXPECT_FALSE(EditCommandApplies("EditPaste"));
    EXPECT_FALSE(PerformEditCommand("FileQuit"));
}

TEST_F(FrameworkWindow, UndoTakesBackTheOperatorsTypingButNeverTheProgramsText) {
    auto area = RuntimeCheckCast<TextArea>(window->ControlByName("text"));
    auto* edit = qobject_cast<QPlainTextEdit*>(area->Handle());
    window->Widget()->show();
    QApplication::setActiveWindow(window->Widget());
    edit->setFocus();
    area->AppendText(">LOOO<\n");
    EXPECT_FALSE(EditCommandApplies("EditUndo"));
    edit->moveCursor(QTextCursor::End);
    edit->insertPlainText("typed");
    EXPECT_EQ(area->Text(), ">LOOO<\ntyped");
    ASSERT_TRUE(PerformEditCommand("EditUndo"));
    EXPECT_EQ(area->Text(), ">LOOO<\n");
    edit->insertPlainText("again");
    area->AppendText("\n>DOOO<\n"); // the program's text ends the operator's undo history
    EXPECT_FALSE(EditCommandApplies("EditUndo"));
    EXPECT_EQ(area->Text(), ">LOOO<\nagain\n>DOOO<\n");
}

} // namespace
