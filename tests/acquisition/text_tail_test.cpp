// ctest-labels: textseries faults
// A text file of very many lines is read from its end in bounded memory: under an address
// limit that holding a view of every line would exceed, the last lines still load. A FIFO
// chosen as the file is refused at once.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "acquisition/text_series.h"
#include "platform/file_errors.h"
#include "support/temp_folder.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr size_t kEmptyLines = 48u << 20;        // 48 MiB of LF
constexpr rlim_t kAddressHeadroom = 256u << 20;  // beyond what the process maps already

rlim_t MappedBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    for (rlim_t kib = 0; status >> key;) {
        if (key == "VmSize:" && status >> kib) return kib * 1024;
    }
    return 0;
}

TEST(TextTail, ManyEmptyLinesLoadUnderAnAddressLimit) {
    // The sanitizers reserve terabytes of address space: no limit can be set beside them.
    if (kSanitized) GTEST_SKIP() << "an address limit cannot be set under AddressSanitizer";
    TempAppFolder folder;
    const std::string path = folder.File("many.txt");
    {
        std::ofstream out(path, std::ios::binary);
        const std::string block(1u << 20, '\n');
        for (size_t written = 0; written < kEmptyLines; written += block.size()) out << block;
        out << "1301,2024/01/05,100,110,90,105,5000\n";
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlim_t limit = MappedBytes() + kAddressHeadroom;
        const rlimit address{limit, limit};
        if (setrlimit(RLIMIT_AS, &address) != 0) _exit(3);
        try {
            const TextSeries series = ReadTextSeries(path, "many.txt");
            _exit(series.ok && series.points.size() == 1 && series.invalidLines == 1499 ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the read ended with signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: wrong series, 2: out of memory";
}

TEST(TextTail, AFifoIsRefusedWithoutWaitingForAWriter) {
    alarm(60);  // a wait for a writer ends the test instead of hanging it
    TempAppFolder folder;
    const std::string path = folder.File("series.txt");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    try {
        ReadTextSeries(path, "series.txt");
        ADD_FAILURE() << "a FIFO read as a series";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), kErrPathFileAccess);
    }
    alarm(0);
}

}  // namespace
