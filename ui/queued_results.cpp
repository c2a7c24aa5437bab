#include "ui/queued_results.h"

#include <utility>

void QueuedResults::addResult(const char* name, const Digest* expected, const Digest* actual,
                              int status) {
    Entry entry{Entry::Kind::Result, name, std::nullopt, std::nullopt, status, 0, {}, {}};
    if (expected != nullptr) {
        entry.expected = *expected;
    }
    if (actual != nullptr) {
        entry.actual = *actual;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(std::move(entry));
}

void QueuedResults::addUnreadResult(const char* name, const Digest* expected, int status,
                                    int error) {
    Entry entry{Entry::Kind::Unread, name, std::nullopt, std::nullopt, status, error, {}, {}};
    if (expected != nullptr) {
        entry.expected = *expected;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(std::move(entry));
}

void QueuedResults::clearResults() {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Whatever was queued before is cleared with the rest.
    m_entries.clear();
    m_entries.push_back(Entry{Entry::Kind::Clear, {}, std::nullopt, std::nullopt, 0, 0, {}, {}});
}

void QueuedResults::addNote(const char* name, const std::string& text, const std::string& detail,
                            int status) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(
        Entry{Entry::Kind::Note, name, std::nullopt, std::nullopt, status, 0, text, detail});
}

void QueuedResults::deliverTo(DropResults& results) {
    std::vector<Entry> entries;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        entries.swap(m_entries);
    }
    for (const Entry& entry : entries) {
        switch (entry.kind) {
        case Entry::Kind::Result:
            results.addResult(entry.name.c_str(), entry.expected ? &*entry.expected : nullptr,
                              entry.actual ? &*entry.actual : nullptr, entry.status);
            break;
        case Entry::Kind::Unread:
            results.addUnreadResult(entry.name.c_str(), entry.expected ? &*entry.expected : nullptr,
                                    entry.status, entry.error);
            break;
        case Entry::Kind::Note:
            results.addNote(entry.name.c_str(), entry.text, entry.detail, entry.status);
            break;
        case Entry::Kind::Clear:
            results.clearResults();
            break;
        }
    }
}
