#include "platform/headless/headless_work_loop.h"

#include "platform/headless/headless_desktop.h"

int HeadlessWorkLoop::runModal(HWND dialog) {
    HeadlessWindow* found = m_desktop.find(dialog);
    if (found == nullptr) {
        return -1;
    }
    // Records outlive their windows, so this stays readable if a handler destroys the dialog.
    const HeadlessWindow& window = *found;
    m_modalRuns.push_back(dialog);
    bool closeTried = false;
    while (!window.modalEnded) {
        if (!m_posted.empty()) {
            const SentMessage posted = m_posted.front();
            m_posted.pop_front();
            if (m_desktop.find(posted.wnd) != nullptr) {
                m_desktop.send(posted.wnd, posted.message, posted.wParam, posted.lParam);
            }
            continue;
        }
        if (!m_actions.empty()) {
            const Action action = std::move(m_actions.front());
            m_actions.pop_front();
            action(dialog);
            continue;
        }
        if (!closeTried) {
            // Out of actions: the user closes the dialog, so that a test never hangs.
            closeTried = true;
            ++m_autoCloses;
            m_desktop.send(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            continue;
        }
        ++m_forcedEnds;
        endModal(dialog, IDCANCEL);
        break;
    }
    return window.modalResult;
}

void HeadlessWorkLoop::endModal(HWND dialog, int result) {
    if (HeadlessWindow* window = m_desktop.find(dialog)) {
        window->modalEnded = true;
        window->modalResult = result;
    }
}

void HeadlessWorkLoop::beginWork(HWND dialog, int stopId) {
    if (HeadlessWindow* window = m_desktop.find(dialog)) {
        window->working = true;
        window->stopId = stopId;
    }
    ++m_workBegun;
}

void HeadlessWorkLoop::endWork(HWND dialog) {
    if (HeadlessWindow* window = m_desktop.find(dialog)) {
        window->working = false;
        window->stopId = 0;
    }
    ++m_workEnded;
}

void HeadlessWorkLoop::serveEvents(HWND dialog) {
    ++m_serveCalls;
    if (m_workActions.empty()) {
        return;
    }
    const WorkAction action = m_workActions.front();
    if (action(dialog)) {
        m_workActions.pop_front();
    }
}

bool HeadlessWorkLoop::postMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_desktop.find(wnd) == nullptr) {
        return false;
    }
    m_posted.push_back(SentMessage{wnd, message, wParam, lParam});
    return true;
}

void HeadlessWorkLoop::queue(Action action) {
    m_actions.push_back(std::move(action));
}

void HeadlessWorkLoop::duringWork(WorkAction action) {
    m_workActions.push_back(std::move(action));
}
