// ctest-labels: util
// Rewrites under faults: the bits of the file replaced, stores kept behind symbolic links
// and the temporary files of a writer that was killed.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_errors.h"

namespace {

class AtomicFileTest : public ::testing::Test {
  protected:
    std::string File(const std::string& name) const {
        return dir_.path().toStdString() + "/" + name;
    }
    void Write(const std::string& path, const std::string& bytes, unsigned mode = 0644) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(path, bytes, error, mode)) << path << ": " << error;
    }
    static unsigned ModeOf(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
        return st.st_mode & 07777;
    }
    static bool IsLink(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    }
    static std::string Read(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
        return bytes;
    }
    // The names in a folder, sorted.
    std::vector<std::string> Names(const std::string& folder) const {
        QDir dir(QString::fromStdString(folder));
        std::vector<std::string> names;
        for (const QString& name : dir.entryList(
                 QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
            names.push_back(name.toStdString());
        return names;
    }

    QTemporaryDir dir_;
};

TEST_F(AtomicFileTest, ARewriteKeepsTheBitsOfTheFileItReplaces) {
    struct Case {
        const char* what;
        std::optional<unsigned> before;  // the file's bits before the write; none: no file
        unsigned asked;                  // the writer's mode
        unsigned after;
    };
    const Case cases[] = {
        {"a new file gets the writer's mode", std::nullopt, 0644, 0644},
        {"a new credential file is its owner's", std::nullopt, 0600, 0600},
        {"a file the user closed stays closed", 0640, 0644, 0640},
        {"a file the user shared stays shared", 0664, 0644, 0664},
        {"a read-only file stays read-only", 0444, 0644, 0444},
        {"a credential file never keeps group or other access", 0644, 0600, 0600},
        {"a credential file the owner narrowed stays so", 0400, 0600, 0400},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = File("store" + std::to_string(index++) + ".ini");
        if (c.before) {
            Write(path, "old");
            ASSERT_EQ(chmod(path.c_str(), *c.before), 0);
        }
        Write(path, "new", c.asked);
        EXPECT_EQ(Read(path), "new");
        EXPECT_EQ(ModeOf(path), c.after);
    }
    EXPECT_EQ(Names(dir_.path().toStdString()).size(), std::size(cases)) << "no temporary left";
}

TEST_F(AtomicFileTest, AStoreThatIsASymbolicLinkIsWrittenThroughToItsTarget) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(File("elsewhere"))));
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // (link, what it points at)
        const char* target;                                      // relative to the test folder
        bool targetExists;
    };
    const Case cases[] = {
        {"a relative link", {{"memo.ini", "elsewhere/memo.txt"}}, "elsewhere/memo.txt", true},
        {"an absolute link",
         {{"kanmon.ini", File("elsewhere/kanmon.txt")}},
         "elsewhere/kanmon.txt",
         true},
        {"a chain of links",
         {{"shasen.ini", "elsewhere/hop"}, {"elsewhere/hop", "shasen.txt"}},
         "elsewhere/shasen.txt",
         true},
        {"a link whose target is still to be made",
         {{"chuumoku.ini", "elsewhere/new.txt"}},
         "elsewhere/new.txt",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string target = File(c.target);
        if (c.targetExists) {
            Write(target, "old");
            ASSERT_EQ(chmod(target.c_str(), 0640), 0);
        }
        for (const auto& [link, pointsAt] : c.links)
            ASSERT_EQ(symlink(pointsAt.c_str(), File(link).c_str()), 0) << link;
        const std::string store = File(c.links.front().first);

        Write(store, "new");
        for (const auto& link : c.links) EXPECT_TRUE(IsLink(File(link.first))) << link.first;
        EXPECT_EQ(Read(target), "new");
        EXPECT_EQ(ModeOf(target), c.targetExists ? 0640u : 0644u);
    }
    // The temporaries were made beside the targets and are gone with the renames.
    for (const std::string& name : Names(File("elsewhere")))
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

TEST_F(AtomicFileTest, ALinkThatLeadsInACircleFailsAndWritesNothing) {
    ASSERT_EQ(symlink("b.ini", File("a.ini").c_str()), 0);
    ASSERT_EQ(symlink("a.ini", File("b.ini").c_str()), 0);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(File("a.ini"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Names(dir_.path().toStdString()), (std::vector<std::string>{"a.ini", "b.ini"}));
}

TEST_F(AtomicFileTest, AWriteThatFailsMidwayLeavesTheOldFileWholeAndNoTemporary) {
    Write(File("PF.txt"), "old bytes\r\n");
    InjectAtomicWriteFault(4, ENOSPC);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(File("PF.txt"), "new bytes, longer than four\r\n", error));
    EXPECT_EQ(error, kErrDiskFull);
    EXPECT_EQ(Read(File("PF.txt")), "old bytes\r\n");
    EXPECT_EQ(Names(dir_.path().toStdString()), std::vector<std::string>{"PF.txt"});
    ClearAtomicWriteFault();
    Write(File("PF.txt"), "new");
    EXPECT_EQ(Read(File("PF.txt")), "new");
}

TEST_F(AtomicFileTest, TheTemporariesOfAKilledWriterGoAndNothingElse) {
    const std::string folder = dir_.path().toStdString() + "/";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(File("home"))));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(File("x.tmpAbC123"))));
    struct Case {
        const char* name;  // relative to the test folder
        bool removed;
    };
    const Case cases[] = {
        {"memo.ini.tmpAbC123", true},
        {"Settei.ini.tmp000000", true},
        {"ATec.dat.tmpzzzzzz", true},
        {"memo.ini", false},
        {"memo.ini.tmp", false},
        {"memo.ini.tmpAbC12", false},
        {"memo.ini.tmpAbC1234", false},
        {"memo.ini.tmpAb-123", false},
        {".tmpAbC123", false},
        {"memo.ini.TMPAbC123", false},
        // Beside the target of the program folder's link only that target's own go.
        {"home/watch.txt.tmpQwE456", true},
        {"home/watch.txt", false},
        {"home/notes.txt.tmpQwE456", false},
    };
    for (const Case& c : cases) Write(File(c.name), "x");
    ASSERT_EQ(symlink("home/watch.txt", File("chuumoku.ini").c_str()), 0);
    // A link to a folder takes nothing from inside that folder.
    ASSERT_EQ(symlink("home", File("linked_folder").c_str()), 0);

    EXPECT_EQ(RemoveStaleTemporaryFiles(folder), 4);
    for (const Case& c : cases) EXPECT_EQ(FileExists(File(c.name)), !c.removed) << c.name;
    EXPECT_TRUE(FileExists(File("x.tmpAbC123"))) << "a folder is left alone";
    EXPECT_TRUE(IsLink(File("chuumoku.ini")));
    EXPECT_EQ(RemoveStaleTemporaryFiles(folder), 0);
}

}  // namespace
