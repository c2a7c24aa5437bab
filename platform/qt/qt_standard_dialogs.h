#pragma once

#include "platform/qt/qt_dialogs.h"

/// Qt's own file dialog, which confirms overwriting where asked to, and QMessageBox, which
/// shows the text as plain text: it names files, whose names must not be read as markup. The
/// open dialog is Qt's own widget dialog, where files and folders may be selected together.
class QtStandardDialogs : public QtDialogs {
public:
    bool saveFile(QWidget* parent, OverwritePrompt prompt, SaveChoices& choices,
                  std::string& path) override;
    bool openFiles(QWidget* parent, std::vector<std::string>& paths) override;
    void messageBox(QWidget* parent, const std::string& text, const std::string& caption,
                    MessageBoxKind kind) override;
};
