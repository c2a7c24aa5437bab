#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "engine/work_meter.h"

class CWnd;
class StatusStrip;

/// Watches one drop's work, which runs on a worker thread (runOnWorker) while the window's
/// thread serves the window's events, so that it repaints and answers the window manager and
/// screen readers; once the work has run SHOW_AFTER_MS it shows the work on the status strip and
/// keeps it up to date; and it carries the user's request to stop back to the work.
///
/// The work tells it of its progress from the worker thread (the WorkMeter calls, lookingIn,
/// expect..., fileDone); everything else is the window's thread's. Where the window system
/// serves long work in step (see CWnd::ServesWorkInStep), the window's thread serves only when
/// the work, at least SERVE_MS after the last time, stops for it, and the work waits meanwhile:
/// what happens at each point is then the same in every run.
class WorkProgress : public WorkMeter {
public:
    static constexpr std::uint64_t SERVE_MS = 40;
    /// How long the window takes rows at a time, serving on its own, before it serves again.
    static constexpr std::chrono::milliseconds DELIVER_BUDGET{4};
    static constexpr std::uint64_t SHOW_AFTER_MS = 500;
    static constexpr std::uint64_t UPDATE_MS = 250;

    WorkProgress(CWnd& window, StatusStrip& strip, int stopId)
        : m_window(window), m_strip(strip), m_stopId(stopId) {}

    /// The work starts: the window takes no input but Stop, Escape and its close box.
    void begin(bool checking);
    /// The work is over, stopped or not.
    void end();
    bool running() const { return m_running; }
    /// Hands the window what the work produced meanwhile, as much as it can before the time
    /// given; true when nothing is left.
    using Deliver = std::function<bool(std::chrono::steady_clock::time_point)>;
    /// Runs work on a worker thread and serves the window until it has ended and everything it
    /// produced is delivered; deliver is called on this thread whenever it serves.
    void runOnWorker(const std::function<void()>& work, const Deliver& deliver);
    /// How long the work has run, in seconds, once the strip has shown it; -1 before.
    double shownSeconds();
    /// The bytes hashed so far.
    std::uint64_t bytesDone();

    void requestStop() { m_stopRequested = true; }
    bool stopRequested() const { return m_stopRequested; }

    /// The work looks for files in the folder named folder, and has found found so far.
    void lookingIn(const std::string& folder, int found);
    /// The work is files files of bytes bytes in all (hashing dropped files).
    void expectBytes(int files, std::uint64_t bytes);
    /// The work turns to a checksum list of entries entries.
    void expectEntries(int entries);
    /// One more file has its result.
    void fileDone();

    bool advance(std::uint64_t bytes) override;
    void beginFile(const char* name, std::int64_t size) override;

private:
    struct Run;
    /// Tells m_run of the bytes hashed since the last time; under m_mutex.
    void flushBytes();
    /// The worker has come to a point where the window may be served (now on the clock).
    void servePoint(std::uint64_t now);
    /// On the window's thread: shows the progress as the worker left it, then serves events.
    void serve(std::uint64_t now, std::unique_lock<std::mutex>& lock);
    void update(std::uint64_t now, const Run& run);
    /// How much of the work is done, in thousandths; -1 when nobody can tell.
    static int permille(const Run& run);
    /// Bytes still to hash, when known; -1 otherwise.
    static double bytesLeft(const Run& run);
    /// The time the work will still take at rate, in seconds, as far as it can be told; -1
    /// when it cannot.
    static double secondsLeft(const Run& run, std::uint64_t now, double rate);

    CWnd& m_window;
    StatusStrip& m_strip;
    int m_stopId;

    // The state of one drop's work, told by the worker, under m_mutex.
    struct Run {
        bool checking = false;
        std::uint64_t started = 0;

        std::uint64_t done = 0;       ///< bytes hashed
        std::uint64_t totalBytes = 0; ///< all bytes of the work, when byBytes
        bool byBytes = false;
        int files = 0;     ///< files of the work, or the list's entries; 0 when not known
        int filesDone = 0; ///< files with a result
        std::string file;  ///< the file being hashed
        std::int64_t fileSize = -1;
        std::uint64_t fileDone = 0;    ///< bytes of it hashed
        std::uint64_t fileStarted = 0; ///< when its turn came
        std::string looking;           ///< the folder being searched for files, if any
        int found = 0;                 ///< files found there so far
    };
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Run m_run;
    std::atomic<bool> m_stopRequested{false};
    bool m_running = false;
    bool m_inStep = false;
    // The handing over between the threads, under m_mutex.
    bool m_serveWanted = false; ///< in step: the worker waits for the window to be served
    std::uint64_t m_serveAt = 0;
    bool m_workEnded = false;

    // The worker's own: when it last let the window be served, and between two looks at the
    // clock, the calls and bytes since the last one.
    std::uint64_t m_lastServed = 0;
    std::uint64_t m_lastLook = 0; ///< the clock when last looked at
    unsigned m_calls = 0;
    std::uint64_t m_unseen = 0;
    std::uint64_t m_pending = 0; ///< bytes hashed and not yet told to m_run
    // The window's own.
    bool m_shown = false;
    std::uint64_t m_lastUpdated = 0;
};
