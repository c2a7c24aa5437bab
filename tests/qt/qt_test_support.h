#pragma once

// Shared pieces of the Qt backend's tests: a dialog that records its messages, and a fixture
// that installs the Qt backend.

#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

#include "platform/dialog.h"
#include "platform/qt/qt_backend.h"
#include "platform/resources.h"
#include "scripted_qt_dialogs.h"

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

/// A dialog that records every message it receives before the framework handles it, and can
/// answer WM_GETMINMAXINFO and WM_PAINT the way the program's dialogs do.
class RecordingDialog : public CDialog {
public:
    explicit RecordingDialog(UINT templateId = 0, CWnd* parent = nullptr)
        : CDialog(templateId, parent) {}

    std::vector<Message> messages;
    std::optional<POINT> minTrack; ///< outer minimum to answer WM_GETMINMAXINFO with
    std::optional<POINT> maxTrack; ///< outer maximum to answer WM_GETMINMAXINFO with
    /// Runs for each message before the framework's handling.
    std::function<void(const Message&)> onMessage;
    /// Drawn with CPaintDC at (iconX, iconY) on WM_PAINT, when set.
    HICON paintIcon = nullptr;
    int iconX = 0;
    int iconY = 0;

    int count(UINT message) const;
    std::vector<Message> of(UINT message) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

/// Installs a fresh QtBackend for each test and clears what tests may leave behind.
class QtBackendTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Creates a dialog window from tmpl and attaches dialog to it, as DoModal does.
    HWND open(RecordingDialog& dialog, const DialogTemplate& tmpl, HWND owner = nullptr);
    /// Shows a dialog and makes it the active window, so that it has the keyboard focus.
    void showActive(HWND dialog);
    QWidget* widget(HWND wnd) const { return qt.widget(wnd); }
    QWidget* item(HWND dialog, int id) const { return qt.widget(qt.dialogItem(dialog, id)); }

    ScriptedQtDialogs dialogs; ///< answers for the user once a test passes them to qt
    QtBackend qt;
};

/// Runs action from the event loop as soon as it runs (inside a modal loop, say).
void whenIdle(std::function<void()> action);
/// A template with the given controls: 200 × 100 dialog units, caption, system menu, and a
/// sizing frame when resizable.
DialogTemplate makeTemplate(int id, std::vector<ControlTemplate> controls, bool resizable = true);
