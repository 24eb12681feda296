#include "portfolio/news_file.h"

#include <stdexcept>
#include <vector>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/sql_builders.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/number_format.h"
#include "portfolio/cp932_file.h"

void GetLatestDataDate() {
    RecordsetPtr rows;
    std::string statement = MakeDailyBarsSql(kLatestDateIssueId);
    if (!ExecuteSql(Database().DailyConnection, statement, rows)) return;
    if (rows && !rows->Eof() && rows->RecordCount() > 0) {
        rows->MoveFirst();
        RunTrapped([&] { News().LatestDataDate = WholeOf<int32_t>(rows->Number(0)); });
    }
    CloseRecordset(rows);
}

void AppendCurrentNews(std::string_view fileText, int32_t latestDate, std::string& newsText) {
    const std::vector<std::string_view> lines = TextLines(fileText);
    if (lines.empty()) throw std::runtime_error(kErrInputPastEnd);
    if (lines.front() != std::to_string(latestDate)) return;
    for (size_t i = 1; i < lines.size(); ++i) newsText.append(lines[i]).append("\r\n");
}

void LoadNewsFile() {
    GetLatestDataDate();
    const std::string path = AppPath() + kNewsFileName;
    if (!FileExists(path)) return;
    RunTrapped([&path] {
        std::string text;
        try {
            text = ReadCp932File(path);
        } catch (const std::exception& error) {
            throw std::runtime_error(error.what() + SetAsideIfNotRegular(path));
        }
        AppendCurrentNews(text, News().LatestDataDate, News().NewsText);
    });
}

std::string NewsFileText(int32_t latestDate, std::string_view newsText) {
    return std::to_string(latestDate) + "\r\n" + std::string(newsText);
}

bool SaveNewsFile() {
    const NewsState& news = News();
    if (TrimSpaces(news.NewsText).empty()) return true;
    return RunTrapped([&news] {
        WriteCp932File(AppPath() + kNewsFileName, NewsFileText(news.LatestDataDate, news.NewsText));
    });
}
