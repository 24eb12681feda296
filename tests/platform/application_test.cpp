// ctest-labels: util faults
// The program's application object: no exception out of an event handler ends the program.
#include "platform/application.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <stdexcept>

#include "support/scripted_sink.h"

namespace {

// The test main builds the program's own application object, as the program does.
TEST(ProgramApplication, AnExceptionOutOfAHandlerIsShownAndTheProgramGoesOn) {
    ASSERT_NE(dynamic_cast<ProgramApplication*>(QCoreApplication::instance()), nullptr);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "処理できません。");
    bool after = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("処理できません。"); });
    QTimer::singleShot(0, [&after] { after = true; });
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(after);
    EXPECT_TRUE(sink.AllShown());
}

}  // namespace
