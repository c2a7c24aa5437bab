#include "platform/qt/qt_desktop.h"

#include <QApplication>

#include "platform/qt/qt_backend.h"

struct QtDesktop::Parts {
    Parts(int& argc, char** argv) : application(argc, argv) {}

    // Destroyed in reverse: the backend goes before the application it was made in.
    QApplication application;
    QtBackend backend;
};

QtDesktop::QtDesktop(int& argc, char** argv, const char* applicationName, const char* desktopFile)
    : m_parts(std::make_unique<Parts>(argc, argv)) {
    QApplication::setApplicationName(QString::fromUtf8(applicationName));
    QApplication::setDesktopFileName(QString::fromUtf8(desktopFile));
    setBackend(&m_parts->backend);
}

QtDesktop::~QtDesktop() {
    setBackend(nullptr);
}
