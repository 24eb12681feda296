#include "support/zip_fixture.h"

#include <gtest/gtest.h>
#include <zip.h>

void MakeZip(const std::string& path, const ZipEntries& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_RAW), 0) << name;
    }
    ASSERT_EQ(zip_close(archive), 0);
}
