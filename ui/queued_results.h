#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/drop_results.h"

/// The results a drop's work makes on its worker thread, kept in order until the window's
/// thread takes them (deliverTo) and hands them to the window's results in one batch.
class QueuedResults : public DropResults {
public:
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override;
    void addUnreadResult(const char* name, const Digest* expected, int status, int error) override;
    void clearResults() override;
    void addNote(const char* name, const std::string& text, const std::string& detail,
                 int status) override;

    /// Hands everything queued so far to results, in the order it came, and forgets it.
    void deliverTo(DropResults& results);

private:
    struct Entry {
        enum class Kind { Result, Unread, Note, Clear } kind;
        std::string name;
        std::optional<Digest> expected;
        std::optional<Digest> actual;
        int status = 0;
        int error = 0; ///< of an unread result
        std::string text;
        std::string detail;
    };

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
};
