#pragma once

#include <string>

#include "platform/desktop_services.h"

class QWidget;

/// The modal dialogs the Qt backend shows for the program: the save and open dialogs and the
/// message box.
/// The real ones are Qt's (QtStandardDialogs); a test passes in its own to answer for the user.
class QtDialogs {
public:
    virtual ~QtDialogs() = default;

    /// Asks the user for a file to save to, over parent (null: no window), offering choices (see
    /// DesktopServices::saveFileDialog); false when cancelled.
    virtual bool saveFile(QWidget* parent, OverwritePrompt prompt, SaveChoices& choices,
                          std::string& path) = 0;
    /// Asks the user for files and folders to open, over parent; false when cancelled.
    virtual bool openFiles(QWidget* parent, std::vector<std::string>& paths) = 0;
    /// Shows text over parent until the user dismisses it.
    virtual void messageBox(QWidget* parent, const std::string& text, const std::string& caption,
                            MessageBoxKind kind) = 0;
};
