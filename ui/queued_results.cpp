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

bool QueuedResults::deliverTo(DropResults& results, std::chrono::steady_clock::time_point until) {
    // The clock is read every so many entries: a batch of thousands of rows would keep the
    // window from its events for tens of milliseconds.
    constexpr std::size_t PER_LOOK = 64;
    const bool bounded = until != std::chrono::steady_clock::time_point::max();
    for (;;) {
        if (m_next == m_taken.size()) {
            m_taken.clear();
            m_next = 0;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_taken.swap(m_entries);
            if (m_taken.empty()) {
                return true;
            }
        }
        deliver(m_taken[m_next++], results);
        if (bounded && m_next % PER_LOOK == 0 && std::chrono::steady_clock::now() >= until) {
            std::lock_guard<std::mutex> lock(m_mutex);
            return m_next == m_taken.size() && m_entries.empty();
        }
    }
}

void QueuedResults::deliver(const Entry& entry, DropResults& results) {
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
