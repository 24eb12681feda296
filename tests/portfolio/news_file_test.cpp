// ctest-labels: app news
#include "portfolio/news_file.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(NewsFile, TheNewsIsTakenOnlyWhileItsDateIsTheNewest) {
    struct Case {
        const char* file;
        int32_t latest;
        const char* news;
    };
    const Case cases[] = {
        {"20240105\r\n<買い－1>Aは、700円の目標株価に達しました。\r\nB\r\n", 20240105,
         "<買い－1>Aは、700円の目標株価に達しました。\r\nB\r\n"},
        {"20240105\r\nA\r\nB", 20240105, "A\r\nB\r\n"},
        {"20240104\r\nA\r\n", 20240105, ""},
        {" 20240105\r\nA\r\n", 20240105, ""},
        {"news\r\nA\r\n", 20240105, ""},
        {"20240105\r\n", 20240105, ""},
    };
    for (const Case& c : cases) {
        std::string news = "kept\r\n";
        AppendCurrentNews(c.file, c.latest, news);
        EXPECT_EQ(news, std::string("kept\r\n") + c.news) << c.file;
    }
}

TEST(NewsFile, AFileWithoutAnyLineIsAFailure) {
    std::string news;
    EXPECT_THROW(AppendCurrentNews("", 20240105, news), std::runtime_error);
}

}  // namespace
