#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/headless/headless_records.h"
#include "platform/work_loop.h"

class HeadlessDesktop;

/// The headless event loop. A modal loop runs the actions a test queued, in order, as the
/// user's input; when they run out the dialog is closed by its close box, so a test never hangs.
/// Long work serves one queued work action at each serving point. Posted messages wait for a
/// modal loop.
class HeadlessWorkLoop : public WorkLoop {
public:
    using Action = std::function<void(HWND dialog)>;
    /// An action for a serving point of long work; false: not yet, try at the next one.
    using WorkAction = std::function<bool(HWND dialog)>;

    explicit HeadlessWorkLoop(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    /// Runs the queued actions in order, each given dialog's handle, until endModal; when the
    /// queue runs dry the dialog is closed by its close box, and ended with IDCANCEL if it
    /// refuses. Posted messages go first: before each action, every message waiting is sent.
    /// -1 for a handle that is not a window.
    int runModal(HWND dialog) override;
    void endModal(HWND dialog, int result) override;
    void beginWork(HWND dialog, int stopId) override;
    void endWork(HWND dialog) override;
    /// Runs the next action queued with duringWork, if any.
    void serveEvents(HWND dialog) override;
    /// Long work is served in step with it, so that tests see the same points every run; a test
    /// may turn that off to let the work and the window's thread run side by side.
    bool servesInStep() const override { return m_inStep; }
    void setServesInStep(bool inStep) { m_inStep = inStep; }
    bool postMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    /// Queues an action for the modal loops.
    void queue(Action action);
    /// Queues an action for the serving points of long work, one per serveEvents. An action that
    /// returns false stays first in the queue and is tried again at the next serving point.
    void duringWork(WorkAction action);

    /// The dialogs whose modal loop started, in order.
    const std::vector<HWND>& modalRuns() const { return m_modalRuns; }
    /// Modal loops closed by the close box because the queue ran dry.
    int autoCloses() const { return m_autoCloses; }
    /// Modal loops that refused that close and were ended with IDCANCEL.
    int forcedEnds() const { return m_forcedEnds; }
    int workBegun() const { return m_workBegun; }
    int workEnded() const { return m_workEnded; }
    int serveCalls() const { return m_serveCalls; }

private:
    HeadlessDesktop& m_desktop;
    std::deque<Action> m_actions;
    std::deque<WorkAction> m_workActions;
    std::deque<SentMessage> m_posted;
    std::vector<HWND> m_modalRuns;
    int m_autoCloses = 0;
    int m_forcedEnds = 0;
    int m_workBegun = 0;
    int m_workEnded = 0;
    int m_serveCalls = 0;
    bool m_inStep = true;
};
