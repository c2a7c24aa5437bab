#pragma once

#include <cstdint>
#include <string>

#include "engine/work_meter.h"

class CWnd;
class StatusStrip;

/// Watches one drop's work from inside it. It serves the window's events at least every
/// SERVE_MS, so that the window repaints and answers the window manager and screen readers;
/// once the work has run SHOW_AFTER_MS it shows the work on the status strip and keeps it up to
/// date; and it carries the user's request to stop back to the work.
class WorkProgress : public WorkMeter {
public:
    static constexpr std::uint64_t SERVE_MS = 40;
    static constexpr std::uint64_t SHOW_AFTER_MS = 500;
    static constexpr std::uint64_t UPDATE_MS = 250;

    WorkProgress(CWnd& window, StatusStrip& strip, int stopId)
        : m_window(window), m_strip(strip), m_stopId(stopId) {}

    /// The work starts: the window takes no input but Stop, Escape and its close box.
    void begin(bool checking);
    /// The work is over, stopped or not.
    void end();
    bool running() const { return m_run.running; }
    /// How long the work has run, in seconds, once the strip has shown it; -1 before.
    double shownSeconds() const;
    /// The bytes hashed so far.
    std::uint64_t bytesDone() const { return m_run.done; }

    void requestStop() { m_run.stopRequested = true; }
    bool stopRequested() const { return m_run.stopRequested; }

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
    void serve(std::uint64_t now);
    void update(std::uint64_t now);
    /// How much of the work is done, in thousandths; -1 when nobody can tell.
    int permille() const;
    /// Bytes still to hash, when known; -1 otherwise.
    double bytesLeft() const;
    /// The time the work will still take at rate, in seconds, as far as it can be told; -1
    /// when it cannot.
    double secondsLeft(std::uint64_t now, double rate) const;

    CWnd& m_window;
    StatusStrip& m_strip;
    int m_stopId;

    // The state of one drop's work.
    struct Run {
        bool running = false;
        bool checking = false;
        bool stopRequested = false;
        bool shown = false;
        std::uint64_t started = 0;
        std::uint64_t lastServed = 0;
        std::uint64_t lastUpdated = 0;
        std::uint64_t lastLook = 0; ///< the clock when last looked at
        // Between two looks at the clock: calls and bytes since the last one.
        unsigned calls = 0;
        std::uint64_t unseen = 0;

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
    Run m_run;
};
