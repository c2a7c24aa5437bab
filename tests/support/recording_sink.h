#pragma once

// A sink for both kinds of engine results that keeps everything it hears, for tests to read:
// the rows a list's check gives, with both digests, the lines not understood, and the files a
// run of digestFiles hashed, in the order they came.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/digest_files.h"

struct RecordedRow {
    std::string name;
    std::optional<Digest> expected;
    std::optional<Digest> actual;
    int status;
};

class RecordingSink : public ResultSink, public FileDigestSink {
public:
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override {
        RecordedRow row{name, std::nullopt, std::nullopt, status};
        if (expected != nullptr) {
            row.expected = *expected;
        }
        if (actual != nullptr) {
            row.actual = *actual;
        }
        rows.push_back(row);
    }
    void lineNotUnderstood() override { ++notUnderstood; }
    void fileDigested(std::size_t index, const std::string& path,
                      const FileDigest& result) override {
        EXPECT_EQ(index, results.size()) << "reported out of order";
        paths.push_back(path);
        results.push_back(result);
    }

    std::vector<RecordedRow> rows;
    int notUnderstood = 0;
    std::vector<std::string> paths;
    std::vector<FileDigest> results;
};
