#include "engine/opening_ahead.h"

#include <cerrno>

#include "os/file_stream.h"

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
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_ready.empty()) {
        m_takerWaits = true;
        m_changed.wait(lock, [this] { return !m_ready.empty(); });
        m_takerWaits = false;
    }
    Step step = std::move(m_ready.front());
    m_ready.pop_front();
    if (m_openerWaits) {
        m_changed.notify_all();
    }
    return step;
}

void OpeningAhead::done() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_done;
    if (m_openerWaits) {
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

void OpeningAhead::run() {
    std::uint64_t items = 0; // items made so far: the next one's number
    for (;;) {
        bool opening = true;
        {
            // A place is reused only once its last item is done; no more than AHEAD steps wait.
            std::unique_lock<std::mutex> lock(m_mutex);
            const auto mayGoOn = [&] {
                return m_stopping || (items < m_done + m_capacity && m_ready.size() < AHEAD);
            };
            if (!mayGoOn()) {
                m_openerWaits = true;
                m_changed.wait(lock, mayGoOn);
                m_openerWaits = false;
            }
            if (m_stopping) {
                return;
            }
            opening = m_opening;
        }
        Step step;
        step.step = m_feed.next(static_cast<std::size_t>(items % m_capacity), step.request);
        if (step.step == HashFeed::Step::Item) {
            ++items;
        }
        const bool opens = step.step == HashFeed::Step::Item && step.request.path != nullptr;
        if (opens && opening) {
            step.tried = true;
            step.fd = openReadDescriptor(step.request.path, &step.size, &step.device);
            step.error = step.fd < 0 ? errno : 0;
        }
        const bool end = step.step == HashFeed::Step::End;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (step.tried && !m_opening) {
                // Opened while the taker gave up the descriptors: given up as well.
                if (step.fd >= 0) {
                    closeDescriptor(step.fd);
                }
                step = Step{step.step, step.request};
            }
            m_ready.push_back(std::move(step));
            if (m_takerWaits) {
                m_changed.notify_all();
            }
        }
        if (end) {
            return;
        }
    }
}
