#pragma once

#include <string>

#include "platform/progress_ctrl.h"

/// The row under the result list: a line of text, a progress bar, the rate and time left, and
/// "Sto&p". Idle, the text holds a hint or the outcome of the last drop, across the room the
/// hidden bar leaves, and Stop is disabled; while long work shows, the text names the file, the
/// bar and the details say how far the work is, and Stop can be pressed.
class StatusStrip {
public:
    explicit StatusStrip(CWnd& dialog) : m_dialog(dialog) {}

    /// Binds the controls once the window has them, and shows the hint.
    void setUp();
    /// Long work shows: the bar and the details appear and Stop is enabled.
    void showWork();
    /// The running work: text, how far in thousandths (-1: not known) and the details.
    void showProgress(const std::string& text, int permille, const std::string& details);
    /// The work is over: the bar and the details go, Stop is disabled, the text says text.
    void showOutcome(const std::string& text);
    /// Called after the layout has placed the row: the text reaches to the bar, or, idle, across
    /// the bar's room to Stop.
    void arrange();

    bool showingWork() const { return m_showingWork; }
    CProgressCtrl bar;

private:
    void setText(int id, const std::string& text);

    CWnd& m_dialog;
    bool m_showingWork = false;
};

/// The hint the strip holds before the first drop.
inline constexpr const char* STRIP_HINT = "Drop checksum lists to check, or files to hash";
