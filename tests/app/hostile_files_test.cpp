// ctest-labels: app faults
// Every file the program reads is read only when it is a regular file: a FIFO or a folder
// in its place is that file's read failure, reported at once, and kept under a free name
// so that the next save neither fails on it nor replaces it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "foundation/error_texts.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/text_stores.h"
#include "platform/atomic_file.h"
#include "platform/file_errors.h"
#include "portfolio/portfolio_file.h"
#include "screening/atec_file.h"
#include "screening/state.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"

namespace {

bool IsFifo(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

bool IsRegular(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

class HostileFiles : public ::testing::Test {
  protected:
    // A read that waits for a writer ends the test with SIGALRM instead of hanging it.
    void SetUp() override { alarm(60); }
    void TearDown() override { alarm(0); }
    std::string MakeFifo(const char* name) {
        const std::string path = folder.File(name);
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0) << name;
        return path;
    }
    static std::string Kept(const char* name) {
        return std::string(kErrPathFileAccess) + "\r\n読めなかった「" + name + "」を「" + name +
               ".bak」として残しました。";
    }
    TempAppFolder folder;
    ScriptedSink sink;
};

TEST_F(HostileFiles, AFifoOrAFolderNamedPfTxtIsKeptAndTheSaveWritesAFile) {
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "folder");
        const std::string path = folder.File(kPfFileName);
        if (fifo) {
            MakeFifo(kPfFileName);
        } else {
            ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        }
        sink.Expect(MsgKind::Warn,
                    fifo ? Kept(kPfFileName)
                         : std::string(kErrPathFileAccess) +
                               "\r\n読めなかった「PF.txt」を「PF.txt.bak2」として残しました。");
        LoadPfFile();
        EXPECT_TRUE(sink.AllShown());
        Portfolio().PfLists[0] = {{"7203011", 1, 1, 1, 1, 1}};
        Portfolio().PfCounts[0] = 1;
        ASSERT_TRUE(SavePfFile());
        EXPECT_TRUE(IsRegular(path));
        EXPECT_TRUE(IsFifo(folder.File("PF.txt.bak")));
        ASSERT_EQ(unlink(path.c_str()), 0);
    }
}

TEST_F(HostileFiles, TheSettingsTheStoresAndTheAnalysisFileAreNotWaitedFor) {
    MakeFifo(kSetteiFileName);
    sink.Expect(MsgKind::Warn, Kept(kSetteiFileName));
    sink.Expect(MsgKind::Warn, "設定する必要があります");
    sink.Expect(MsgKind::Info, "初期設定を読み込みました。");
    LogonPair logon;
    LoadSettei(logon);
    EXPECT_TRUE(IsFifo(folder.File("Settei.ini.bak")));
    EXPECT_TRUE(SaveSettei(logon));
    EXPECT_TRUE(IsRegular(folder.File(kSetteiFileName)));

    MakeFifo("memo.ini");
    sink.Expect(MsgKind::Warn, std::string("GetMemo read") + kErrPathFileAccess);
    EXPECT_EQ(GetMemo(), "");
    TextStores().MemoText = "1301011\tnew\r\n";
    EXPECT_TRUE(PutMemo());
    EXPECT_TRUE(IsFifo(folder.File("memo.ini")));

    MakeFifo(kATecFileName);
    sink.Expect(MsgKind::Warn, Kept(kATecFileName));
    EXPECT_FALSE(LoadATec());
    EXPECT_TRUE(IsFifo(folder.File("ATec.dat.bak")));

    std::string bytes;
    EXPECT_FALSE(ReadWholeFile(MakeFifo("series.txt"), bytes));
    EXPECT_TRUE(sink.AllShown());
}

}  // namespace
