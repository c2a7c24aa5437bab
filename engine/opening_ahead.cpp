#include "engine/opening_ahead.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "os/file_stream.h"
#include "os/file_system.h"

OpeningAhead::OpeningAhead(HashFeed& feed, std::size_t capacity)
    : m_feed(feed), m_capacity(capacity), m_thread([this] { run(); }) {}

OpeningAhead::~OpeningAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
    for (const Step& step : m_ready) {
        if (step.fd >= 0) {
            closeDescriptor(step.fd);
        }
    }
}

OpeningAhead::Step OpeningAhead::take() {
    // The two threads mostly keep pace: a short wait for the next step costs less spinning
    // than sleeping and being woken.
    for (int spin = 0; spin < SPINS && m_readyCount.load(std::memory_order_acquire) == 0; ++spin) {
        std::this_thread::yield();
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_ready.empty()) {
        m_takerWaits = true;
        m_changed.wait(lock, [this] { return !m_ready.empty(); });
        m_takerWaits = false;
    }
    Step step = std::move(m_ready.front());
    m_ready.pop_front();
    m_readyCount.store(m_ready.size(), std::memory_order_release);
    // The opening thread, stopped with AHEAD steps made, goes on once half of them are taken.
    if (m_openerWaits && m_ready.size() <= AHEAD / 2) {
        m_changed.notify_all();
    }
    return step;
}

void OpeningAhead::done() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_done;
    if (m_openerWaits && m_ready.size() <= AHEAD / 2) {
        m_changed.notify_all();
    }
}

void OpeningAhead::stopOpening() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_opening = false;
    for (Step& step : m_ready) {
        if (step.fd >= 0) {
            closeDescriptor(step.fd);
        }
        step = Step{step.step, step.request};
    }
}

int OpeningAhead::open(const char* path, std::int64_t* size, std::uint64_t* device) {
    // Lists mostly name files of one folder after another: past a few hundred names in the same
    // folder, one reading of the folder costs less than a second lookup of each name.
    const char* slash = std::strrchr(path, '/');
    const std::string_view folder =
        slash == nullptr
            ? std::string_view(".")
            : std::string_view(path, slash == path ? 1 : static_cast<std::size_t>(slash - path));
    const char* name = slash == nullptr ? path : slash + 1;
    if (folder != m_folder) {
        m_folder = folder;
        m_inFolder = 0;
        m_listed = false;
        m_regular.clear();
    }
    if (!m_listed && ++m_inFolder > LIST_FOLDER_AFTER) {
        m_listed = true;
        if (!regularFileNames(m_folder, m_regular)) {
            m_regular.clear();
        }
    }
    const bool knownRegular = m_listed && *name != '\0' && m_regular.count(name) != 0;
    return openReadDescriptor(path, size, device, knownRegular);
}

void OpeningAhead::run() {
    std::uint64_t items = 0; // items made so far: the next one's number
    bool opening = true;
    for (;;) {
        Step step;
        step.step = m_feed.next(static_cast<std::size_t>(items % m_capacity), step.request);
        if (step.step == HashFeed::Step::Item) {
            ++items;
        }
        const bool opens = step.step == HashFeed::Step::Item && step.request.path != nullptr;
        if (opens && opening) {
            step.tried = true;
            step.fd = open(step.request.path, &step.size, &step.device);
            step.error = step.fd < 0 ? errno : 0;
        }
        const bool end = step.step == HashFeed::Step::End;
        std::unique_lock<std::mutex> lock(m_mutex);
        if (step.tried && !m_opening) {
            // Opened while the taker gave up the descriptors: given up as well.
            if (step.fd >= 0) {
                closeDescriptor(step.fd);
            }
            step = Step{step.step, step.request};
        }
        m_ready.push_back(std::move(step));
        m_readyCount.store(m_ready.size(), std::memory_order_release);
        if (m_takerWaits) {
            m_changed.notify_all();
        }
        if (end) {
            return;
        }
        // A place is reused only once its last item is done; no more than AHEAD steps wait, and
        // once that many do, the next is made when half of them are taken.
        if (items >= m_done + m_capacity || m_ready.size() >= AHEAD) {
            m_openerWaits = true;
            m_changed.wait(lock, [&] {
                return m_stopping || (items < m_done + m_capacity && m_ready.size() <= AHEAD / 2);
            });
            m_openerWaits = false;
        }
        if (m_stopping) {
            return;
        }
        opening = m_opening;
    }
}
