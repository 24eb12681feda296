#pragma once
// kabuto-install run as a separate process against a folder of its own, on SQLite
// (install_tool_test) and on the throwaway PostgreSQL server (install_tool_pg_test).
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "foundation/database.h"
#include "platform/atomic_file.h"
#include "support/market_fixture.h"
#include "support/temp_folder.h"

using UserRows = std::vector<std::pair<std::string, std::string>>;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class InstallTool : public testing::TestWithParam<TestEngine> {
  protected:
    void SetUp() override {
        if (GetParam() == TestEngine::Postgres && PostgresTestPrefix().empty())
            GTEST_SKIP() << "no PostgreSQL test server";
    }
    void TearDown() override { ResetDatabase(); }

    static std::string Env(const char* name) {
        const char* value = std::getenv(name);
        return value ? value : "";
    }

    // Runs the tool with args, standard input given the text and then closed.
    static ToolRun Run(const std::vector<std::string>& args, const std::string& input = {}) {
        // The tool drops tables: this process lets go of its connections first.
        ResetDatabase();
        QStringList arguments;
        for (const std::string& arg : args) arguments << QString::fromStdString(arg);
        QProcess tool;
        tool.start(QStringLiteral(KABUTO_BINARY_DIR "/kabuto-install"), arguments);
        ToolRun run;
        if (!tool.waitForStarted(10000)) return run;
        tool.write(input.data(), static_cast<qint64>(input.size()));
        tool.closeWriteChannel();
        if (!tool.waitForFinished(120000)) return run;
        run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
        run.out = tool.readAllStandardOutput().toStdString();
        run.err = tool.readAllStandardError().toStdString();
        return run;
    }

    // The create command of the engine; PostgreSQL's password comes from standard input.
    std::vector<std::string> CreateArgs() const {
        if (GetParam() == TestEngine::Sqlite) return {"create", folder_.Path()};
        return {"create",
                folder_.Path(),
                "--pg",
                Env("KABUTO_PG_HOST"),
                Env("KABUTO_PG_PORT"),
                Env("KABUTO_PG_USER")};
    }
    std::string CreateInput() const {
        return GetParam() == TestEngine::Sqlite ? "" : Env("KABUTO_PG_PASSWORD") + "\n";
    }
    // An installation with its tables empty. The PostgreSQL server keeps the catalogs of
    // the tests before, so there it is a replacement.
    ToolRun CreateFresh() const {
        std::vector<std::string> args = CreateArgs();
        if (GetParam() == TestEngine::Postgres) args.push_back("--replace");
        return Run(args, CreateInput());
    }

    // The (ID, password) rows of the user catalog that settei2.ini names.
    static UserRows Users() {
        UserRows users;
        RecordsetPtr rows;
        std::string error;
        const std::string connection = CatalogConnectionString(GetSettei2(), kUserCatalog);
        if (!RunCatalogSql(connection,
                           "SELECT velm_user_id, velm_user_pwd FROM velm_user_test ORDER BY "
                           "velm_user_test_id",
                           {}, &rows, error)) {
            ADD_FAILURE() << error;
            return users;
        }
        for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext())
            users.emplace_back(FieldText(rows->Field(0)), FieldText(rows->Field(1)));
        return users;
    }

    TempAppFolder folder_;
};

TEST_P(InstallTool, CreateRefusesCatalogsThatHoldTablesUnlessTheyAreReplaced) {
    const ToolRun fresh = CreateFresh();
    ASSERT_EQ(fresh.exitCode, 0) << fresh.err;
    ASSERT_EQ(Run({"user", folder_.Path(), "keeper", "pw-keeper"}).exitCode, 0);
    std::string settei2;
    ASSERT_TRUE(ReadWholeFile(folder_.File(kSettei2FileName), settei2));

    const ToolRun again = Run(CreateArgs(), CreateInput());
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("--replace"), std::string::npos) << again.err;
    EXPECT_NE(again.err.find(kUserCatalog), std::string::npos) << again.err;
    EXPECT_EQ(Users(), (UserRows{{"keeper", "pw-keeper"}})) << "the users are kept";
    std::string unchanged;
    ASSERT_TRUE(ReadWholeFile(folder_.File(kSettei2FileName), unchanged));
    EXPECT_EQ(unchanged, settei2);

    std::vector<std::string> replace = CreateArgs();
    replace.push_back("--replace");
    const ToolRun replaced = Run(replace, CreateInput());
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_TRUE(Users().empty());
}

TEST_P(InstallTool, APasswordLeftOffTheCommandLineIsReadFromStandardInput) {
    const ToolRun fresh = CreateFresh();
    ASSERT_EQ(fresh.exitCode, 0) << fresh.err;
    if (GetParam() == TestEngine::Postgres)
        EXPECT_EQ(GetSettei2(), PostgresTestPrefix()) << "the server's password came from stdin";
    struct Case {
        std::vector<std::string> idAndPassword;
        std::string input;
        int exitCode;
    };
    const Case cases[] = {
        {{"alice"}, "from-stdin\n", 0},
        {{"bob", "on-the-line"}, "ignored\n", 0},
        {{"carol"}, "no-line-end", 0},
        {{"dave"}, "crlf\r\n", 0},
        {{"erin"}, "", 1},     // the input ends before a line
        {{"frank"}, "\n", 1},  // a user without a password could never sign in
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"user", folder_.Path()};
        args.insert(args.end(), c.idAndPassword.begin(), c.idAndPassword.end());
        const ToolRun run = Run(args, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.idAndPassword[0] << ": " << run.err;
    }
    EXPECT_EQ(Users(), (UserRows{{"alice", "from-stdin"},
                                 {"bob", "on-the-line"},
                                 {"carol", "no-line-end"},
                                 {"dave", "crlf"}}));
}
