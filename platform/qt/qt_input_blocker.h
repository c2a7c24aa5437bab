#pragma once

#include <QObject>

/// Keeps user input away from a dialog the framework has disabled (its owner while an owned
/// modal dialog runs), without greying it out; a click on it brings the modal dialog forward.
/// While a dialog's long work runs, it drops all input to it but a press of the work's stop
/// control (mouse or mnemonic) and the Escape key. Input to a popup of a control (a drop-down
/// list's list) counts as input to the control's dialog, a window's own shortcut as input to the
/// window.
class QtInputBlocker : public QObject {
public:
    explicit QtInputBlocker(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
