#pragma once

#include <memory>

/// The desktop side of the program: the Qt application and the Qt backend, installed with
/// setBackend for as long as this object lives. Create it once, first thing in main.
class QtDesktop {
public:
    /// applicationName and desktopFile name the program to the desktop (window grouping, icon).
    QtDesktop(int& argc, char** argv, const char* applicationName, const char* desktopFile);
    ~QtDesktop();
    QtDesktop(const QtDesktop&) = delete;
    QtDesktop& operator=(const QtDesktop&) = delete;

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
