#pragma once

// Shared pieces of the Qt backend's tests: fixtures that install the Qt backend, one with a
// recording dialog open for each test.

#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "platform/qt/qt_backend.h"
#include "platform/resources.h"
#include "scripted_qt_dialogs.h"
#include "tests/support/make_template.h"
#include "tests/support/recording_dialog.h"

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

/// A QtBackendTest whose tests work on one recording dialog: a fixture's SetUp opens it with
/// open(dialog, ...) into wnd, and TearDown destroys its window.
class QtRecordingDialogTest : public QtBackendTest {
protected:
    void TearDown() override;

    RecordingDialog dialog;
    HWND wnd = nullptr;
};

/// Runs action from the event loop as soon as it runs (inside a modal loop, say).
void whenIdle(std::function<void()> action);
