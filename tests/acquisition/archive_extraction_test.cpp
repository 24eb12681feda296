// ctest-labels: maildata
#include "acquisition/archive_extraction.h"

#include <gtest/gtest.h>

#include <QDir>
#include <utility>
#include <vector>

#include "acquisition/mail_data_window.h"
#include "acquisition/state.h"
#include "foundation/startup.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "support/temp_folder.h"
#include "support/zip_fixture.h"

namespace {

using Entries = ZipEntries;

constexpr const char* kDay = "20240105";

// The LZH fixtures in tests/acquisition/fixtures were made once with jlha-utils
// ("jlha co5q day.lzh ~file0.dat ..."), an "MZ" stub of 64 bytes put in front.
std::string Fixture(const char* name) {
    return std::string(KABUTO_SOURCE_DIR) + "/tests/acquisition/fixtures/" + name;
}

// The text the fixtures' text members hold: eleven CP932 lines tagged by the member.
std::string FixtureText(const std::string& tag) {
    std::string text;
    for (int i = 1; i <= 11; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%04d", i);
        text += "20240105," + tag + number + ",ｶﾌﾞ" + std::to_string(i) + ",100,110,90,105," +
                std::to_string(1000 * i) + "\r\n";
    }
    return ToCp932(text);
}

std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

class ArchiveExtractionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeMailDataFolder();
        SetMailDataPath();
    }
    // The zip set of kDay with the given members of its S archive.
    void PutZipDay(const Entries& sMembers, const Entries& iMembers = {{"I20240105.txt", "I"}}) {
        MakeZip(MailDataFolder() + kDay + ".zip", {{"20240105.txt", "daily"}});
        MakeZip(MailDataFolder() + "I" + kDay + ".zip", iMembers);
        MakeZip(MailDataFolder() + "S" + kDay + ".zip", sMembers);
    }
    std::string Path(const char* name) { return folder.File(name); }

    TempAppFolder folder;
};

TEST_F(ArchiveExtractionTest, AZipDayGivesItsMembersAndTheirPaths) {
    PutZipDay({{"S20240105.txt", "S"}, {"B20240105.TXT", "B"}, {"R20240105.txt", "R"}});
    ImportMembers members;
    ASSERT_TRUE(ExtractZipSet(kDay, members));
    const std::pair<MemberIndex, const char*> expected[] = {
        {kDailyMember, "20240105.txt"}, {kIssueMember, "I20240105.txt"},
        {kSMember, "S20240105.txt"},    {kBMember, "B20240105.txt"},
        {kRMember, "R20240105.txt"},
    };
    for (const auto& [index, name] : expected) EXPECT_EQ(members.paths[index], Path(name));
    EXPECT_EQ(Read(Path("20240105.txt")), "daily");
    EXPECT_EQ(Read(Path("B20240105.txt")), "B");

    DeleteImportWorkFiles(WorkFiles::Extracted, members);
    for (const auto& [index, name] : expected) EXPECT_FALSE(FileExists(Path(name))) << name;
}

TEST_F(ArchiveExtractionTest, AZipDayNeedsItsRequiredMembersOnly) {
    struct Case {
        const char* what;
        Entries sMembers;
        Entries iMembers;
        bool extracted;
    };
    const Case cases[] = {
        {"B and R missing", {{"S20240105.txt", "S"}}, {{"I20240105.txt", "I"}}, true},
        {"the I member missing", {{"S20240105.txt", "S"}}, {{"other.txt", "x"}}, false},
        {"the S member missing", {{"B20240105.txt", "B"}}, {{"I20240105.txt", "I"}}, false},
        {"I only inside a folder", {{"S20240105.txt", "S"}}, {{"sub/I20240105.txt", "I"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutZipDay(c.sMembers, c.iMembers);
        ImportMembers members;
        EXPECT_EQ(ExtractZipSet(kDay, members), c.extracted);
        if (c.extracted) {
            EXPECT_EQ(members.paths[kBMember], "");
            EXPECT_EQ(members.paths[kRMember], "");
        }
        DeleteImportWorkFiles(WorkFiles::Extracted, members);
    }
    std::remove((MailDataFolder() + "I" + kDay + ".zip").c_str());
    ImportMembers members;
    EXPECT_FALSE(ExtractZipSet(kDay, members)) << "a partner archive missing";
}

TEST_F(ArchiveExtractionTest, EntriesThatLeaveTheFolderAreNeverMatchedOrWritten) {
    const std::string target = Path("target/");
    QDir().mkpath(QString::fromStdString(target));
    const std::string archive = Path("names.zip");
    MakeZip(archive, {{"../evil.txt", "evil"},
                      {"/abs.txt", "abs"},
                      {"sub/d.txt", "sub"},
                      {"C:d.txt", "drive"},
                      {"..", "dots"}});
    for (const char* member : {"evil.txt", "../evil.txt", "abs.txt", "/abs.txt", "d.txt",
                               "sub/d.txt", "C:d.txt", ".."}) {
        EXPECT_GT(UnzipArchive(archive, target, member), 0) << member;
    }
    EXPECT_EQ(
        QDir(QString::fromStdString(target)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList{});
    EXPECT_FALSE(FileExists(Path("evil.txt")));
}

TEST_F(ArchiveExtractionTest, LzhEntriesThatLeaveTheFolderAreNeverMatchedOrWritten) {
    const std::string target = Path("target/");
    QDir().mkpath(QString::fromStdString(target));
    // Its entries are stored as "../evil.txt" and "/tmp/lzhfx/evil.txt".
    const std::string archive = Fixture("names.exe");
    for (const char* member : {"evil.txt", "../evil.txt", "/tmp/lzhfx/evil.txt"}) {
        EXPECT_GT(UnlhaArchive(archive, target, member), 0) << member;
    }
    EXPECT_EQ(
        QDir(QString::fromStdString(target)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList{});
    EXPECT_FALSE(FileExists(Path("evil.txt")));
}

TEST_F(ArchiveExtractionTest, UnzipResultsTellMissingFromFailed) {
    const std::string archive = Path("one.zip");
    MakeZip(archive, {{"A.TXT", "a"}, {"big.txt", std::string(kMaxMemberBytes + 1, '\0')}});
    EXPECT_EQ(UnzipArchive(archive, folder.Path(), "a.txt"), 0);
    EXPECT_EQ(Read(Path("a.txt")), "a");
    EXPECT_GT(UnzipArchive(archive, folder.Path(), "b.txt"), 0);
    EXPECT_LT(UnzipArchive(archive, folder.Path(), "big.txt"), 0);
    EXPECT_FALSE(FileExists(Path("big.txt")));
    EXPECT_LT(UnzipArchive(Path("none.zip"), folder.Path(), "a.txt"), 0);
}

TEST_F(ArchiveExtractionTest, AnLzhDayGivesItsWorkFilesAsMembers) {
    ImportMembers members;
    ASSERT_TRUE(ExtractLzhSet(Fixture("day.exe"), members));
    const std::pair<MemberIndex, const char*> expected[] = {
        {kDailyMember, "~file1.dat"}, {kIssueMember, "~file2.dat"}, {kSMember, "~file0.dat"},
        {kBMember, "~file3.dat"},     {kRMember, "~file4.dat"},
    };
    for (const auto& [index, name] : expected) EXPECT_EQ(members.paths[index], Path(name));
    EXPECT_EQ(Read(Path("~file1.dat")), FixtureText("1"));
    EXPECT_EQ(Read(Path("~file2.dat")), FixtureText("I"));
    EXPECT_EQ(Read(Path("~file0.dat")), FixtureText("S"));
    // The one stored member: random bytes, checked against the archive's CRC on the way.
    EXPECT_EQ(Read(Path("~file4.dat")).size(), 256u);

    DeleteImportWorkFiles(WorkFiles::Extracted, members);
    for (const auto& [index, name] : expected) EXPECT_FALSE(FileExists(Path(name))) << name;
}

TEST_F(ArchiveExtractionTest, AnLzhDayNeedsItsRequiredMembersOnly) {
    struct Case {
        const char* fixture;
        bool extracted;
    };
    // A work file left by an earlier day must not pass for this day's B member.
    for (const Case& c : {Case{"no_optional.exe", true}, Case{"no_issue.exe", false},
                          Case{"in_folder.exe", false}}) {
        SCOPED_TRACE(c.fixture);
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(Path("~file3.dat"), "old", error));
        ImportMembers members;
        EXPECT_EQ(ExtractLzhSet(Fixture(c.fixture), members), c.extracted);
        EXPECT_EQ(members.paths[kBMember], "");
        EXPECT_EQ(members.paths[kRMember], "");
        EXPECT_FALSE(FileExists(Path("~file3.dat")));
        EXPECT_FALSE(QDir(QString::fromStdString(Path("sub"))).exists());
        DeleteImportWorkFiles(WorkFiles::LzhWorkFiles);
        EXPECT_FALSE(FileExists(Path("~file0.dat")));
    }
}

TEST_F(ArchiveExtractionTest, ADamagedLzhArchiveFailsItsCheck) {
    std::string bytes = Read(Fixture("day.exe"));
    EXPECT_TRUE(CheckLzhArchive(Fixture("day.exe")));
    bytes[bytes.size() - 100] ^= 0x55;  // inside the stored member's data
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(Path("damaged.exe"), bytes, error));
    ImportMembers members;
    EXPECT_FALSE(ExtractLzhSet(Path("damaged.exe"), members));
    EXPECT_FALSE(CheckLzhArchive(Path("missing.exe")));
}

}  // namespace
