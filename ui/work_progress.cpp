#include "ui/work_progress.h"

#include <algorithm>
#include <cstring>

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
    m_run = Run{};
    m_run.running = true;
    m_run.checking = checking;
    m_run.started = m_run.lastServed = m_run.lastLook = GetTickCount64();
    m_window.BeginWork(m_stopId);
}

void WorkProgress::end() {
    if (m_run.running) {
        m_run.running = false;
        m_window.EndWork();
    }
}

double WorkProgress::shownSeconds() const {
    return m_run.shown ? double(GetTickCount64() - m_run.started) / 1000.0 : -1;
}

void WorkProgress::lookingIn(const std::string& folder, int found) {
    m_run.looking = folder;
    m_run.found = found;
}

void WorkProgress::expectBytes(int files, std::uint64_t bytes) {
    m_run.looking.clear();
    m_run.files = files;
    m_run.totalBytes = bytes;
    m_run.byBytes = true;
}

void WorkProgress::expectEntries(int entries) {
    m_run.files = entries;
    m_run.filesDone = 0;
    m_run.byBytes = false;
}

void WorkProgress::fileDone() {
    ++m_run.filesDone;
    m_run.file.clear();
    m_run.fileSize = -1;
    m_run.fileDone = 0;
}

void WorkProgress::beginFile(const char* name, std::int64_t size) {
    // The strip names the file, not its folders.
    const char* slash = std::strrchr(name, '/');
    m_run.file = slash != nullptr && slash[1] != '\0' ? slash + 1 : name;
    m_run.fileSize = size;
    m_run.fileDone = 0;
    m_run.fileStarted = m_run.lastLook; // close enough, without a look at the clock per file
}

bool WorkProgress::advance(std::uint64_t bytes) {
    m_run.done += bytes;
    m_run.fileDone += bytes;
    m_run.unseen += bytes;
    if (++m_run.calls >= CALLS_PER_LOOK || m_run.unseen >= BYTES_PER_LOOK) {
        m_run.calls = 0;
        m_run.unseen = 0;
        const std::uint64_t now = GetTickCount64();
        m_run.lastLook = now;
        if (now - m_run.lastServed >= SERVE_MS) {
            serve(now);
        }
    }
    return !m_run.stopRequested;
}

void WorkProgress::serve(std::uint64_t now) {
    if (!m_run.shown && now - m_run.started >= SHOW_AFTER_MS) {
        m_run.shown = true;
        m_strip.showWork();
        update(now);
    } else if (m_run.shown && now - m_run.lastUpdated >= UPDATE_MS) {
        update(now);
    }
    m_window.ServeEvents();
    m_run.lastServed = GetTickCount64();
}

void WorkProgress::update(std::uint64_t now) {
    m_run.lastUpdated = now;
    if (!m_run.looking.empty()) {
        m_strip.showProgress("Looking for files in " + m_run.looking + ": " +
                                 groupedNumber(m_run.found) + " found",
                             -1, "");
        return;
    }
    std::string text = m_run.checking ? "Checking " : "Hashing ";
    text += m_run.file;
    if (m_run.files > 1) {
        text += " (" + groupedNumber(std::min(m_run.filesDone + 1, m_run.files)) + " of " +
                groupedNumber(m_run.files) + ")";
    }
    const double seconds = double(now - m_run.started) / 1000.0;
    const double rate = seconds > 0 ? double(m_run.done) / seconds : 0;
    std::string details = rateText(rate);
    const double left = secondsLeft(now, rate);
    if (left >= 0) {
        details += ", " + timeLeftText(left);
    }
    m_strip.showProgress(text, permille(), details);
}

int WorkProgress::permille() const {
    if (m_run.byBytes) {
        return m_run.totalBytes == 0 ? 0
                                     : int(std::min<std::uint64_t>(m_run.done, m_run.totalBytes) *
                                           PERMILLE / m_run.totalBytes);
    }
    if (m_run.files <= 0) {
        return -1;
    }
    // A list's entries count alike; the file in hand counts by its bytes.
    double part = 0;
    if (m_run.fileSize > 0) {
        part = std::min(1.0, double(m_run.fileDone) / double(m_run.fileSize));
    }
    return int(std::min(1.0, (m_run.filesDone + part) / m_run.files) * PERMILLE);
}

double WorkProgress::secondsLeft(std::uint64_t now, double rate) const {
    const double left = bytesLeft();
    if (left >= 0) {
        return rate > 0 ? left / rate : -1;
    }
    if (m_run.files <= 0) {
        return -1;
    }
    // A list's entries: the file in hand by its bytes, each entry after it as long as the
    // entries done took on average; what is not known yet counts for nothing.
    double seconds = 0;
    bool known = false;
    if (m_run.fileSize >= 0 && rate > 0) {
        seconds +=
            double(std::max<std::int64_t>(0, m_run.fileSize - std::int64_t(m_run.fileDone))) / rate;
        known = true;
    }
    const int after = m_run.files - m_run.filesDone - (m_run.fileSize >= 0 ? 1 : 0);
    if (m_run.filesDone > 0 && after > 0) {
        const std::uint64_t finishedAt = m_run.fileSize >= 0 ? m_run.fileStarted : now;
        seconds += double(finishedAt - m_run.started) / 1000.0 / m_run.filesDone * after;
        known = true;
    }
    return known ? seconds : -1;
}

double WorkProgress::bytesLeft() const {
    if (m_run.byBytes) {
        return m_run.totalBytes > m_run.done ? double(m_run.totalBytes - m_run.done) : 0;
    }
    // A list of one file: that file's bytes are the whole work.
    if (m_run.files == 1 && m_run.fileSize >= 0) {
        return m_run.fileSize > std::int64_t(m_run.fileDone)
                   ? double(m_run.fileSize - std::int64_t(m_run.fileDone))
                   : 0;
    }
    return -1;
}
