// ctest-labels: util
#include "platform/file_errors.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/atomic_file.h"
#include "support/temp_folder.h"

TEST(FileErrors, EachFailureOfTheSystemReadsInJapanese) {
    const std::pair<int, const char*> cases[] = {
        {ENOENT, "ファイルが見つかりません。"},
        {ENOTDIR, "パスが見つかりません。"},
        {EACCES, "書き込みできません。"},
        {EPERM, "書き込みできません。"},
        {EROFS, "パス名が無効です。"},
        {EISDIR, "パス名が無効です。"},
        {ENOSPC, "ディスクの空き容量が不足しています。"},
        {EDQUOT, "ディスクの空き容量が不足しています。"},
        {EIO, "デバイス I/O エラーです。"},
        {EMFILE, "ファイルが多すぎます。"},
        {EEXIST, "既に同名のファイルが存在しています。"},
        {EBUSY, "パス名が無効です。"},  // one the table does not name
    };
    for (auto [code, text] : cases) EXPECT_EQ(FileErrorText(code), text) << code;

    TempAppFolder folder;
    EXPECT_EQ(FileErrorText(ENOENT, folder.File("absent.ini")), kErrFileNotFound);
    EXPECT_EQ(FileErrorText(ENOENT, folder.File("absent/x.ini")), kErrPathNotFound);
}

TEST(FileErrors, AFailedWriteTellsItsCauseInJapanese) {
    TempAppFolder folder;
    ASSERT_EQ(mkdir(folder.File("folder.ini").c_str(), 0700), 0);
    const std::pair<const char*, const char*> cases[] = {
        {"absent/x.ini", "パスが見つかりません。"},
        {"folder.ini", "パス名が無効です。"},  // a folder in the file's place
    };
    for (auto [name, text] : cases) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(folder.File(name), "x", error)) << name;
        EXPECT_EQ(error, text) << name;
    }
}
