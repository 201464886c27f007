#include "support/program_fixture.h"

#include "app/main_menu_bar.h"

TEST_F(ProgramTest, MainWindowOpensWithFifteenControls) {
    auto window = OpenMainWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->ControlCount(), 15);
    EXPECT_EQ(window->Title(), "Quarrendel");
    EXPECT_EQ(window->Width(), 800);
    EXPECT_EQ(window->Height(), 400);
    EXPECT_EQ(window->MenuBar(), MainMenuBar());
}
