#pragma once
// Digests for the tests that hold many walks or evaluations against a fixture made from
// earlier code: one line per case, its name and a hash of its records, instead of the whole
// output. When a line no longer matches, the test runs that case again keeping its records
// and shows them, the chart first as the golden test describes one.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <source_location>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/kagi.h"
#include "analysis/kagi_describe.h"
#include "analysis/kagi_rule_state_printer.h"
#include "platform/atomic_file.h"
#include "support/fixture_files.h"

// FNV-1a over the text of each record; a digest made to keep them holds the records as text.
class Digest {
  public:
    explicit Digest(bool keepRecords = false) : keep_(keepRecords) {}
    void Add(const std::string& text) {
        for (unsigned char c : text) {
            hash_ ^= c;
            hash_ *= 1099511628211ULL;
        }
        hash_ ^= 0xff;  // record boundary
        hash_ *= 1099511628211ULL;
        ++records_;
        if (keep_) kept_ += text + "\n";
    }
    std::string Text() const {
        char text[48];
        std::snprintf(text, sizeof text, "%016llx %d", static_cast<unsigned long long>(hash_),
                      records_);
        return text;
    }
    const std::string& Records() const { return kept_; }

  private:
    unsigned long long hash_ = 14695981039346656037ULL;
    int records_ = 0;
    bool keep_;
    std::string kept_;
};

// Every bit of a double.
inline std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

inline std::string PointText(const SeriesPoint& s) {
    return Number(s.Open) + " " + Number(s.Close) + " " + Number(s.High) + " " + Number(s.Low) +
           " " + Number(s.Volume) + " " + s.DateText + " " + s.EndDateText + " " +
           std::to_string(s.SplitFlag) + " " + std::to_string(s.JoinLink) + " " +
           Number(s.SplitRatio) + " " + Number(s.Ma1) + " " + Number(s.Ma1Deviation) + " " +
           Number(s.Ma2) + " " + Number(s.Ma2Deviation);
}

inline std::string ObservationText(const std::optional<ObservationRec>& o) {
    if (!o) return "none";
    return o->RuleText + " " + o->Mark + " " + o->DateText + " " + Number(o->Price);
}

// The chart as the golden test describes it, then every field the walk hands back at full
// precision, the marks past the count included.
inline void AddChartRecords(Digest& digest, const KagiChart& chart) {
    digest.Add(DescribeKagiChart(chart));
    for (const SeriesPoint& s : chart.Strokes) digest.Add("stroke " + PointText(s));
    for (const RuleHit& hit : chart.Marks.RuleMarkTable)
        digest.Add("mark " + hit.Side + " " + Number(hit.SignalPrice) + " " +
                   Number(hit.StrokePrice) + " " + hit.DateText + " " + hit.RuleText);
    for (const KagiJoinRec& join : chart.Joins)
        digest.Add("join " + Number(join.OldEndPrice) + " " + Number(join.NewStartPrice));
    digest.Add("forward " + ObservationText(chart.Forward));
    digest.Add("reverse " + ObservationText(chart.Reverse));
    const KagiLastRule& last = chart.Last;
    digest.Add("last " + last.RuleText + "|" + last.RuleDate + "|" + last.SignalRule + "|" +
               last.SignalDate + "|" + last.SignalSide);
    digest.Add("state " + RuleStateText(chart.RuleState));
}

// The chart of one case, or what the walk threw.
inline void AddWalkRecords(Digest& digest, const std::vector<SeriesPoint>& bars,
                           const KagiWalkSettings& settings) {
    try {
        AddChartRecords(digest, WalkKagi(bars, settings));
    } catch (const std::exception& e) {
        digest.Add(std::string("throws ") + e.what());
    }
}

// One case of a digest fixture: what feeds its records.
using DigestFeed = std::function<void(Digest&)>;
// Called with the name and the feed of every case, in the order of the fixture's lines.
using EachDigestCase = std::function<void(const std::string&, const DigestFeed&)>;
using DigestCases = std::function<void(const EachDigestCase& each)>;

namespace digest_detail {

// So many lines of a case go into the failure message; the whole case goes into a file.
constexpr size_t kShownLines = 60;

inline std::string FirstLines(const std::string& text, size_t count) {
    size_t end = 0;
    for (size_t n = 0; n < count; ++n) {
        end = text.find('\n', end);
        if (end == std::string::npos) return text;
        ++end;
    }
    return end == text.size() ? text : text.substr(0, end) + "...\n";
}

// <binary dir>/<stem>.case.txt for the fixture tests/<folders>/<stem>.txt.
inline std::string CasePath(const std::string& name) {
    const size_t slash = name.find_last_of('/');
    std::string stem = slash == std::string::npos ? name : name.substr(slash + 1);
    stem = stem.substr(0, stem.find_last_of('.'));
    return std::string(KABUTO_BINARY_DIR) + "/" + stem + ".case.txt";
}

// The case on line `line` of the fixture with its records, or nothing past the last case.
inline std::optional<std::string> CaseRecords(const DigestCases& cases, int line) {
    std::optional<std::string> text;
    int n = 0;
    cases([&](const std::string& name, const DigestFeed& feed) {
        if (n++ != line) return;
        Digest digest(true);
        feed(digest);
        text = name + "\n" + digest.Records();
    });
    return text;
}

}  // namespace digest_detail

// One line per case against the fixture tests/<name>; on a mismatch the first case that
// differs is shown record by record as the code makes it now.
inline void ExpectDigestsMatchFixture(
    const std::string& name, const DigestCases& cases,
    std::source_location where = std::source_location::current()) {
    std::string lines;
    cases([&](const std::string& caseName, const DigestFeed& feed) {
        Digest digest;
        feed(digest);
        lines += caseName + " " + digest.Text() + "\n";
    });
    const int line = ExpectMatchesFixture(name, lines, where);
    if (line < 0) return;
    const std::optional<std::string> records = digest_detail::CaseRecords(cases, line);
    if (!records) return;  // the fixture has more cases than the test makes
    const std::string path = digest_detail::CasePath(name);
    std::string error;
    WriteFileAtomically(path, *records, error);
    ADD_FAILURE_AT(where.file_name(), where.line())
        << "the first case that differs, as the code makes it now (all of it in " << path << "):\n"
        << digest_detail::FirstLines(*records, digest_detail::kShownLines);
}
