#pragma once

#include <QObject>

/// Keeps user input away from a dialog the framework has disabled (its owner while an owned
/// modal dialog runs), without greying it out; a click on it brings the modal dialog forward.
class QtInputBlocker : public QObject {
public:
    explicit QtInputBlocker(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
