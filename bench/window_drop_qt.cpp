// Drops paths on the real window (Qt, normally offscreen) as one drop, in "Check Files" mode (each
// a checksum list) or with --generate in "Generate Checksums" mode (files or folders to hash),
// waits until every row is in the list and painted, then closes the window. Prints the rows
// counted by status, so the comparison script can check the work was done, and the longest time
// the work went without serving the window's events.
// Usage: window_drop_qt [--generate] PATH...

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/qt/qt_backend.h"
#include "platform/win_app.h"
#include "res/resource.h"
#include "ui/app_resources.h"
#include "ui/main_dialog.h"

namespace {

// Sends a drag-enter, a drag-move and a drop of urls to the window, as the desktop would.
void dropUrls(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

} // namespace

int main(int argc, char* argv[]) {
    const bool generate = argc > 1 && std::strcmp(argv[1], "--generate") == 0;
    const int first = generate ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: %s [--generate] PATH...\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    QtBackend backend;
    setBackend(&backend);
    registerAppResources();
    CWinApp app("digestor");

    int counts[3] = {0, 0, 0};
    {
        MainDialog dialog(nullptr);
        app.m_pMainWnd = &dialog;
        QWidget* window = nullptr;
        // The window takes a drop at once and works through it from the event loop, showing a
        // busy cursor meanwhile; it is done when there are rows and the cursor is back.
        std::function<void()> finishWhenDone = [&] {
            if (dialog.report.resultList.GetItemCount() == 0 || QApplication::overrideCursor()) {
                QTimer::singleShot(5, finishWhenDone);
                return;
            }
            for (int i = 0; i < dialog.report.resultList.GetItemCount(); ++i) {
                const int image = dialog.report.resultList.GetItemImage(i);
                if (image >= 0 && image < 3) {
                    ++counts[image];
                }
            }
            window->repaint(); // the rows are on the screen before the window goes
            dialog.EndDialog(IDOK);
        };
        QTimer::singleShot(0, [&] {
            window = backend.widget(dialog.m_hWnd);
            if (generate) {
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_CHECK_FILES), false);
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_GENERATE), true);
            }
            QList<QUrl> urls;
            for (int i = first; i < argc; ++i) {
                urls << QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i]));
            }
            dropUrls(window, urls);
            QTimer::singleShot(0, finishWhenDone);
        });
        dialog.DoModal();
        app.m_pMainWnd = nullptr;
    }
    setBackend(nullptr);
    std::printf("rows ok %d failed %d unreadable %d\n", counts[STATUS_OK], counts[STATUS_FAILED],
                counts[STATUS_UNREADABLE]);
    std::printf("longest gap %.1f ms\n", double(backend.longestWorkGap().count()) / 1000.0);
    return 0;
}
