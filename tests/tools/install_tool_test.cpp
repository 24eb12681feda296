// ctest-labels: tools
#include <sys/stat.h>

#include "install_tool_cases.h"

INSTANTIATE_TEST_SUITE_P(Sqlite, InstallTool, testing::Values(TestEngine::Sqlite));

namespace {

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

}  // namespace

// The user catalog holds the passwords: like settei2.ini, only its owner may read it, and
// a replacement narrows a catalog that was opened up.
TEST_P(InstallTool, TheUserCatalogIsReadableByItsOwnerOnly) {
    const std::string userCatalog = folder_.File(std::string(kUserCatalog) + ".sqlite3");
    ASSERT_EQ(Run(CreateArgs()).exitCode, 0);
    EXPECT_EQ(ModeOf(userCatalog), 0600u);
    EXPECT_EQ(ModeOf(folder_.File(kSettei2FileName)), 0600u);

    ASSERT_EQ(chmod(userCatalog.c_str(), 0644), 0);
    ASSERT_EQ(Run({"create", folder_.Path(), "--replace"}).exitCode, 0);
    EXPECT_EQ(ModeOf(userCatalog), 0600u);
}

TEST_P(InstallTool, TheDemoRefusesCatalogsInUseToo) {
    ASSERT_EQ(Run(CreateArgs()).exitCode, 0);
    ASSERT_EQ(Run({"user", folder_.Path(), "keeper", "pw"}).exitCode, 0);
    const ToolRun demo = Run({"demo", folder_.Path()});
    EXPECT_EQ(demo.exitCode, 1);
    EXPECT_NE(demo.err.find("--replace"), std::string::npos) << demo.err;
    EXPECT_EQ(Users().size(), 1u);
}

TEST_P(InstallTool, CommandLinesOfNoShapeShowTheUsage) {
    const std::vector<std::string> lines[] = {
        {"user", folder_.Path(), "id", "pw", "--replace"},
        {"market", folder_.Path(), "10", "20", "--replace"},
        {"create", folder_.Path(), "--pg", "localhost"},
        {"create", folder_.Path(), "extra"},
        {"user", folder_.Path()},
        {"remove", folder_.Path()},
    };
    for (const auto& line : lines) {
        const ToolRun run = Run(line);
        EXPECT_EQ(run.exitCode, 2) << line[0] << " " << line.back();
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(folder_.File(kSettei2FileName)));
}
