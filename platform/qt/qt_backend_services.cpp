// The Qt backend's modal runs and long work, and the desktop services: clipboard, save dialog,
// message box and drop targets.

#include "platform/qt/qt_backend.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QMimeData>
#include <QProgressBar>
#include <algorithm>

#include "platform/qt/qt_dialog_widget.h"
#include "platform/qt/qt_drop_site.h"
#include "platform/qt/qt_report_model.h"
#include "platform/qt/qt_window.h"

// Modal runs and long work.

int QtBackend::runModal(HWND dialog) {
    QtWindow* window = find(dialog);
    if (window == nullptr) {
        return -1;
    }
    if (window->endedEarly) {
        window->endedEarly = false;
        return window->earlyResult;
    }
    int result = -1;
    QEventLoop loop;
    window->modalLoop = &loop;
    window->modalResult = &result;
    loop.exec(QEventLoop::DialogExec);
    // Records outlive their windows, so this holds also when a handler destroyed the dialog.
    window->modalLoop = nullptr;
    window->modalResult = nullptr;
    return result;
}

void QtBackend::endModal(HWND dialog, int result) {
    QtWindow* window = find(dialog);
    if (window == nullptr) {
        return;
    }
    if (window->widget != nullptr) {
        window->widget->hide();
    }
    if (window->modalLoop != nullptr) {
        *window->modalResult = result;
        window->modalLoop->quit();
    } else {
        window->endedEarly = true;
        window->earlyResult = result;
    }
}

void QtBackend::beginWork(HWND dialog, int stopId) {
    if (QtWindow* window = topLevelOf(find(dialog))) {
        if (window->busy++ == 0) {
            window->stopId = stopId;
        }
    }
    // The arrow with a busy sign: the window still answers, and Stop can be pressed.
    if (m_busy++ == 0) {
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    m_longestGap = std::chrono::microseconds(0);
    m_lastServed = std::chrono::steady_clock::now();
}

void QtBackend::endWork(HWND dialog) {
    if (QtWindow* window = topLevelOf(find(dialog)); window != nullptr && window->busy > 0) {
        if (--window->busy == 0) {
            window->stopId = 0;
        }
    }
    markServed();
    flushLists();
    if (m_busy > 0 && --m_busy == 0) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void QtBackend::serveEvents(HWND /*dialog*/) {
    markServed();
    // New rows reach the views in batches a tenth of a second apart: each batch is one insertion
    // and one repaint, which cost the work's own core on a small machine if they came with every
    // serving.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastFlushed >= FLUSH_INTERVAL) {
        m_lastFlushed = now;
        flushLists();
    }
    // Everything that waits: paints, the window manager's pings, the accessibility bus, timers.
    // The input blocker lets only the work's Stop, Escape and the close box through.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_lastServed = std::chrono::steady_clock::now();
}

void QtBackend::markServed() {
    const auto now = std::chrono::steady_clock::now();
    m_longestGap = std::max(
        m_longestGap, std::chrono::duration_cast<std::chrono::microseconds>(now - m_lastServed));
    m_lastServed = now;
}

void QtBackend::flushLists() {
    for (const QtWindow* window : m_live) {
        if (window->model != nullptr) {
            window->model->flush();
        }
    }
}

// Progress bars.

void QtBackend::setProgress(HWND bar, int position, int range) {
    QtWindow* window = find(bar);
    if (window == nullptr || window->kind != ControlKind::ProgressBar ||
        window->widget == nullptr) {
        return;
    }
    auto* progress = static_cast<QProgressBar*>(window->widget.data());
    // A range of 0 to 0 is Qt's busy indicator too.
    progress->setRange(0, std::max(range, 0));
    progress->setValue(std::clamp(position, 0, std::max(range, 0)));
}

// Services.

bool QtBackend::setClipboardText(HWND /*owner*/, const std::string& bytes) {
    if (QCoreApplication::instance() == nullptr) {
        return false;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    // Raw bytes, so that nothing is converted on the way: the report's CR LF and its file names
    // arrive as they are.
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("text/plain"), QByteArray(bytes.data(), qsizetype(bytes.size())));
    clipboard->setMimeData(mime, QClipboard::Clipboard);
    return true;
}

bool QtBackend::clipboardText(std::string& text) {
    const QClipboard* clipboard =
        QCoreApplication::instance() != nullptr ? QGuiApplication::clipboard() : nullptr;
    const QMimeData* held = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (held == nullptr) {
        return false;
    }
    QByteArray bytes;
    if (held->hasFormat(QStringLiteral("text/plain"))) {
        bytes = held->data(QStringLiteral("text/plain"));
    } else if (held->hasText()) {
        bytes = held->text().toUtf8();
    } else {
        return false;
    }
    text.assign(bytes.constData(), std::size_t(bytes.size()));
    return true;
}

bool QtBackend::saveFileDialog(HWND owner, OverwritePrompt prompt, SaveChoices& choices,
                               std::string& path) {
    return m_dialogs->saveFile(widget(owner), prompt, choices, path);
}

bool QtBackend::openFilesDialog(HWND owner, std::vector<std::string>& paths) {
    return m_dialogs->openFiles(widget(owner), paths);
}

void QtBackend::messageBox(HWND owner, const std::string& text, const std::string& caption,
                           MessageBoxKind kind) {
    m_dialogs->messageBox(widget(owner), text, caption, kind);
}

bool QtBackend::registerDropTarget(HWND wnd, COleDropTarget* target) {
    QtWindow* window = find(wnd);
    if (window == nullptr || !window->isDialog || target == nullptr ||
        window->dropSite != nullptr || window->widget == nullptr) {
        return false;
    }
    window->dropSite = std::make_unique<QtDropSite>(wnd, target);
    window->widget->setAcceptDrops(true);
    return true;
}

void QtBackend::revokeDropTarget(HWND wnd) {
    QtWindow* window = find(wnd);
    if (window == nullptr) {
        return;
    }
    window->dropSite.reset();
    if (window->widget != nullptr) {
        window->widget->setAcceptDrops(false);
    }
}
