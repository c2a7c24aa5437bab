#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/drop_results.h"

/// The results a drop's work makes on its worker thread, kept in order until the window's
/// thread takes them (deliverTo) and hands them to the window's results in batches.
class QueuedResults : public DropResults {
public:
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override;
    void addUnreadResult(const char* name, const Digest* expected, int status, int error) override;
    void clearResults() override;
    void addNote(const char* name, const std::string& text, const std::string& detail,
                 int status) override;

    /// Hands what is queued to results, in the order it came, and forgets it: everything, or
    /// as much as can be handed before until, the rest staying first in line for the next call.
    /// True when nothing queued is left.
    bool deliverTo(DropResults& results, std::chrono::steady_clock::time_point until =
                                             std::chrono::steady_clock::time_point::max());

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

    void deliver(const Entry& entry, DropResults& results);

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
    // The window's thread's own: entries taken from m_entries, handed on up to m_next.
    std::vector<Entry> m_taken;
    std::size_t m_next = 0;
};
