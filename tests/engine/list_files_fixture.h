#pragma once

// A scratch folder that is the current one, holding a few named files with contents of their
// own, and the check of a list file among them as the window does it.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "engine/checksum_list.h"
#include "os/file_stream.h"
#include "tests/support/scratch_folder.h"

class ListFilesFixture : public testing::Test {
protected:
    /// names: the files to make, each in the folder "data".
    explicit ListFilesFixture(std::vector<std::string> names) : names_(std::move(names)) {}

    void SetUp() override {
        ASSERT_EQ(mkdir("data", 0700), 0);
        for (const std::string& name : names_) {
            write(name, "contents of " + name);
        }
    }
    static void write(const std::string& name, const std::string& bytes) {
        std::FILE* out = std::fopen(name.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    /// Verifies the list file as the window does: opened in text mode, under its own name.
    int verify(const std::string& listName, ResultSink& rows) {
        std::FILE* list = openFileStream(listName.c_str(), "r");
        EXPECT_NE(list, nullptr);
        testing::internal::CaptureStderr();
        const int result = verifyList(list, rows, false, true, nullptr, listName.c_str());
        messages = testing::internal::GetCapturedStderr();
        std::fclose(list);
        return result;
    }
    std::string messages;

private:
    ScratchFolder scratch_{true};
    std::vector<std::string> names_;
};
