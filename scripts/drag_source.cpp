// A drag source for checking drops from another program: a small window that, when pressed,
// drags the files named on its command line (as a file manager would, as text/uri-list).
// Usage: drag_source FILE...

#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <cstdio>

namespace {

class DragSource : public QLabel {
public:
    explicit DragSource(QList<QUrl> urls) : QLabel("drag me"), m_urls(std::move(urls)) {
        setAlignment(Qt::AlignCenter);
        setWindowTitle("drag source");
        resize(160, 80);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) {
            return;
        }
        auto* data = new QMimeData;
        data->setUrls(m_urls);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction);
        std::printf("drop action %d\n", int(action));
        std::fflush(stdout);
    }

private:
    QList<QUrl> m_urls;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i) {
        urls << QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i]));
    }
    DragSource source(urls);
    source.move(0, 0);
    source.show();
    return application.exec();
}
