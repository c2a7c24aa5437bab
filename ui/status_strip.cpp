#include "ui/status_strip.h"

#include "platform/win_api.h"
#include "res/resource.h"

namespace {

constexpr int PERMILLE = 1000;
constexpr int GAP = 5; // the gap the layout keeps between the row's controls

RECT clientRectOf(CWnd& dialog, CWnd* control) {
    RECT rect{};
    control->GetWindowRect(&rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

} // namespace

void StatusStrip::setUp() {
    bar.Attach(::GetDlgItem(m_dialog.m_hWnd, IDC_PROGRESS));
    bar.SetRange(PERMILLE);
    showOutcome(STRIP_HINT);
}

void StatusStrip::showWork() {
    m_showingWork = true;
    bar.SetPos(0);
    bar.ShowWindow(SW_SHOW);
    if (CWnd* details = m_dialog.GetDlgItem(IDC_PROGRESS_DETAILS)) {
        details->ShowWindow(SW_SHOW);
    }
    if (CWnd* stop = m_dialog.GetDlgItem(IDC_STOP)) {
        stop->EnableWindow(TRUE);
    }
    arrange();
}

void StatusStrip::showProgress(const std::string& text, int permille, const std::string& details) {
    setText(IDC_STATUS_TEXT, text);
    if (permille < 0) {
        bar.SetRange(0);
    } else {
        bar.SetRange(PERMILLE);
        bar.SetPos(permille);
    }
    setText(IDC_PROGRESS_DETAILS, details);
}

void StatusStrip::showOutcome(const std::string& text) {
    m_showingWork = false;
    setText(IDC_STATUS_TEXT, text);
    setText(IDC_PROGRESS_DETAILS, "");
    bar.ShowWindow(SW_HIDE);
    if (CWnd* details = m_dialog.GetDlgItem(IDC_PROGRESS_DETAILS)) {
        details->ShowWindow(SW_HIDE);
    }
    if (CWnd* stop = m_dialog.GetDlgItem(IDC_STOP)) {
        stop->EnableWindow(FALSE);
    }
    arrange();
}

void StatusStrip::arrange() {
    // The layout places the bar where it belongs also while it is hidden.
    CWnd* text = m_dialog.GetDlgItem(IDC_STATUS_TEXT);
    CWnd* next = m_dialog.GetDlgItem(m_showingWork ? IDC_PROGRESS : IDC_STOP);
    if (text == nullptr || next == nullptr) {
        return;
    }
    const RECT at = clientRectOf(m_dialog, text);
    const int right = clientRectOf(m_dialog, next).left - GAP;
    if (right > at.left && right != at.right) {
        text->MoveWindow(at.left, at.top, right - at.left, at.height());
    }
}

void StatusStrip::setText(int id, const std::string& text) {
    CWnd* control = m_dialog.GetDlgItem(id);
    // Unchanged texts are left alone: a screen reader hears of every change.
    if (control != nullptr && control->GetWindowText() != text) {
        control->SetWindowText(text.c_str());
    }
}
