// Test main: an offscreen application object, the shared records reset before each test,
// and a sink that fails any test that shows a message box it did not expect.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/application.h"
#include "platform/surface.h"
#include "support/fresh_state.h"
#include "support/scripted_sink.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // The listeners take ownership.
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateListener);
    // The program's own application object: its handlers run under the same backstop.
    ProgramApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Kabuto"));
    InstallFaceSubstitutions();  // as the program does at start-up
    ScriptedSink strict;         // outermost: no box is expected unless a test says so
    return RUN_ALL_TESTS();
}
