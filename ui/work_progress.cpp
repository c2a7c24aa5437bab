#include "ui/work_progress.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/win_api.h"
#include "platform/wnd.h"
#include "ui/status_strip.h"
#include "ui/work_text.h"

namespace {

// The clock is read only every so many calls or bytes: the work calls for every 1024 bytes.
constexpr unsigned CALLS_PER_LOOK = 64;
constexpr std::uint64_t BYTES_PER_LOOK = 256 * 1024;

constexpr int PERMILLE = 1000;

} // namespace

void WorkProgress::begin(bool checking) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_run = Run{};
    m_run.checking = checking;
    m_run.started = m_lastServed = m_lastLook = GetTickCount64();
    m_stopRequested = false;
    m_running = true;
    m_inStep = m_window.ServesWorkInStep();
    m_shown = false;
    m_lastUpdated = 0;
    m_calls = 0;
    m_unseen = 0;
    m_pending = 0;
    m_window.BeginWork(m_stopId);
}

void WorkProgress::end() {
    if (m_running) {
        m_running = false;
        m_window.EndWork();
    }
}

void WorkProgress::runOnWorker(const std::function<void()>& work, const Deliver& deliver) {
    // Serving in step, everything made so far is delivered at each point, as the tests expect;
    // serving on its own, the window takes rows for a few milliseconds at a time and then serves
    // its events, so that a burst of thousands of rows does not keep it from them.
    const auto until = [this] {
        return m_inStep ? std::chrono::steady_clock::time_point::max()
                        : std::chrono::steady_clock::now() + DELIVER_BUDGET;
    };
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_workEnded = false;
        m_serveWanted = false;
    }
    std::thread worker([this, &work] {
        work();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_workEnded = true;
        m_changed.notify_all();
    });
    std::unique_lock<std::mutex> lock(m_mutex);
    bool behind = false; // rows wait that the last delivery had no time for
    for (;;) {
        if (m_inStep) {
            m_changed.wait(lock, [this] { return m_serveWanted || m_workEnded; });
        } else if (!behind) {
            m_changed.wait_for(lock, std::chrono::milliseconds(SERVE_MS / 4),
                               [this] { return m_workEnded; });
        }
        if (m_workEnded) {
            break;
        }
        const std::uint64_t now = m_inStep ? m_serveAt : GetTickCount64();
        lock.unlock();
        behind = !deliver(until());
        lock.lock();
        serve(now, lock);
        if (m_inStep) {
            m_serveWanted = false;
            m_changed.notify_all();
        }
    }
    lock.unlock();
    worker.join();
    // What the work made last still comes in batches between the window's events.
    while (!deliver(until())) {
        lock.lock();
        serve(m_inStep ? m_serveAt : GetTickCount64(), lock);
        lock.unlock();
    }
}

void WorkProgress::serve(std::uint64_t now, std::unique_lock<std::mutex>& lock) {
    const Run run = m_run;
    lock.unlock();
    if (!m_shown && now - run.started >= SHOW_AFTER_MS) {
        m_shown = true;
        m_strip.showWork();
        update(now, run);
    } else if (m_shown && now - m_lastUpdated >= UPDATE_MS) {
        update(now, run);
    }
    m_window.ServeEvents();
    lock.lock();
}

void WorkProgress::flushBytes() {
    m_run.done += m_pending;
    m_run.fileDone += m_pending;
    m_pending = 0;
}

double WorkProgress::shownSeconds() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_shown ? double(GetTickCount64() - m_run.started) / 1000.0 : -1;
}

std::uint64_t WorkProgress::bytesDone() {
    std::lock_guard<std::mutex> lock(m_mutex);
    flushBytes();
    return m_run.done;
}

void WorkProgress::lookingIn(const std::string& folder, int found) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_run.looking = folder;
    m_run.found = found;
}

void WorkProgress::expectBytes(int files, std::uint64_t bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_run.looking.clear();
    m_run.files = files;
    m_run.totalBytes = bytes;
    m_run.byBytes = true;
}

void WorkProgress::expectEntries(int entries) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_run.files = entries;
    m_run.filesDone = 0;
    m_run.byBytes = false;
}

void WorkProgress::fileDone() {
    std::lock_guard<std::mutex> lock(m_mutex);
    flushBytes();
    ++m_run.filesDone;
    m_run.file.clear();
    m_run.fileSize = -1;
    m_run.fileDone = 0;
}

void WorkProgress::beginFile(const char* name, std::int64_t size) {
    // The strip names the file, not its folders.
    const char* slash = std::strrchr(name, '/');
    std::lock_guard<std::mutex> lock(m_mutex);
    flushBytes();
    m_run.file = slash != nullptr && slash[1] != '\0' ? slash + 1 : name;
    m_run.fileSize = size;
    m_run.fileDone = 0;
    m_run.fileStarted = m_lastLook; // close enough, without a look at the clock per file
}

bool WorkProgress::advance(std::uint64_t bytes) {
    m_pending += bytes;
    m_unseen += bytes;
    if (++m_calls >= CALLS_PER_LOOK || m_unseen >= BYTES_PER_LOOK) {
        m_calls = 0;
        m_unseen = 0;
        const std::uint64_t now = GetTickCount64();
        m_lastLook = now;
        std::unique_lock<std::mutex> lock(m_mutex);
        flushBytes();
        if (now - m_lastServed >= SERVE_MS) {
            if (m_inStep) {
                // The window's thread serves now, and the work waits for it.
                m_serveAt = now;
                m_serveWanted = true;
                m_changed.notify_all();
                m_changed.wait(lock, [this] { return !m_serveWanted; });
            }
            m_lastServed = GetTickCount64();
        }
    }
    return !m_stopRequested;
}

void WorkProgress::update(std::uint64_t now, const Run& run) {
    m_lastUpdated = now;
    if (!run.looking.empty()) {
        m_strip.showProgress("Looking for files in " + run.looking + ": " +
                                 groupedNumber(run.found) + " found",
                             -1, "");
        return;
    }
    std::string text = run.checking ? "Checking " : "Hashing ";
    text += run.file;
    if (run.files > 1) {
        text += " (" + groupedNumber(std::min(run.filesDone + 1, run.files)) + " of " +
                groupedNumber(run.files) + ")";
    }
    const double seconds = double(now - run.started) / 1000.0;
    const double rate = seconds > 0 ? double(run.done) / seconds : 0;
    std::string details = rateText(rate);
    const double left = secondsLeft(run, now, rate);
    if (left >= 0) {
        details += ", " + timeLeftText(left);
    }
    m_strip.showProgress(text, permille(run), details);
}

int WorkProgress::permille(const Run& run) {
    if (run.byBytes) {
        return run.totalBytes == 0 ? 0
                                   : int(std::min<std::uint64_t>(run.done, run.totalBytes) *
                                         PERMILLE / run.totalBytes);
    }
    if (run.files <= 0) {
        return -1;
    }
    // A list's entries count alike; the file in hand counts by its bytes.
    double part = 0;
    if (run.fileSize > 0) {
        part = std::min(1.0, double(run.fileDone) / double(run.fileSize));
    }
    return int(std::min(1.0, (run.filesDone + part) / run.files) * PERMILLE);
}

double WorkProgress::secondsLeft(const Run& run, std::uint64_t now, double rate) {
    const double left = bytesLeft(run);
    if (left >= 0) {
        return rate > 0 ? left / rate : -1;
    }
    if (run.files <= 0) {
        return -1;
    }
    // A list's entries: the file in hand by its bytes, each entry after it as long as the
    // entries done took on average; what is not known yet counts for nothing.
    double seconds = 0;
    bool known = false;
    if (run.fileSize >= 0 && rate > 0) {
        seconds +=
            double(std::max<std::int64_t>(0, run.fileSize - std::int64_t(run.fileDone))) / rate;
        known = true;
    }
    const int after = run.files - run.filesDone - (run.fileSize >= 0 ? 1 : 0);
    if (run.filesDone > 0 && after > 0) {
        const std::uint64_t finishedAt = run.fileSize >= 0 ? run.fileStarted : now;
        seconds += double(finishedAt - run.started) / 1000.0 / run.filesDone * after;
        known = true;
    }
    return known ? seconds : -1;
}

double WorkProgress::bytesLeft(const Run& run) {
    if (run.byBytes) {
        return run.totalBytes > run.done ? double(run.totalBytes - run.done) : 0;
    }
    // A list of one file: that file's bytes are the whole work.
    if (run.files == 1 && run.fileSize >= 0) {
        return run.fileSize > std::int64_t(run.fileDone)
                   ? double(run.fileSize - std::int64_t(run.fileDone))
                   : 0;
    }
    return -1;
}
