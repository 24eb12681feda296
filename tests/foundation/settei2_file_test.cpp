// ctest-labels: db
#include "foundation/settei2_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "installation.h"
#include "platform/atomic_file.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"

TEST(Settei2, ShiftRoundTripsAndKeepsNonAsciiText) {
    const std::string prefix =
        "Driver=QPSQL;Host=127.0.0.1;Port=5432;User ID=a~z;Password=p@ss;Data Source=/株価/;";
    const std::string encoded = EncodeSettei2Line(prefix);
    EXPECT_EQ(encoded.find("Password"), std::string::npos);
    EXPECT_EQ(DecodeSettei2Line(encoded), prefix);
    EXPECT_NE(encoded.find("株価"), std::string::npos);
}

TEST(Settei2, MissingOrEmptyFileWarnsAndGivesNothing) {
    struct Case {
        const char* what;
        const char* content;  // nullptr: no file at all
    };
    for (const Case c : {Case{"missing", nullptr}, Case{"empty", ""}}) {
        TempAppFolder folder;
        std::string error;
        if (c.content) {
            ASSERT_TRUE(WriteFileAtomically(folder.File("settei2.ini"), c.content, error));
        }
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn);
        EXPECT_EQ(GetSettei2(), "") << c.what;
        ASSERT_EQ(sink.Shown().size(), 1u) << c.what;
        EXPECT_EQ(sink.Shown()[0].second.rfind("settei2 read", 0), 0u) << c.what;
    }
}

TEST(Settei2, InstallationWritesItPrivately) {
    TempAppFolder folder;
    std::string error;
    const std::string prefix = SqlitePrefix(folder.Path());
    ASSERT_TRUE(WriteSettei2(folder.Path(), prefix, error)) << error;
    EXPECT_EQ(GetSettei2(), prefix);
    struct stat info {};
    ASSERT_EQ(stat(folder.File("settei2.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}
