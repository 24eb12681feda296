#pragma once
// Every test starts on the shared records of a fresh run, whatever the test before it left
// behind: test_main registers FreshStateListener, which resets every folder's records
// before each test (before the fixture is built, so a fixture's SetUp sets up on top), and
// once more after the last one, so that no printer or connection outlives the application.
#include <gtest/gtest.h>

// The shared records of every folder as a fresh run has them; the database road's
// connections are closed.
void ResetAllState();

class FreshStateListener : public ::testing::EmptyTestEventListener {
  public:
    void OnTestStart(const ::testing::TestInfo&) override { ResetAllState(); }
    void OnTestProgramEnd(const ::testing::UnitTest&) override { ResetAllState(); }
};
