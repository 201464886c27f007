#pragma once

#include "app/app.h"
#include "window/wdw_main.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Runs each test on a fresh runtime with the program's classes registered, message boxes
// captured instead of shown, and an empty port list (never the machine's own ports).
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the main window as the late start-up step does.
    wdwMainRef OpenMainWindow();
    // Runs pending events (deferred Qt work, queued signals).
    static void ProcessEvents();

    std::vector<std::string> messages;
};
