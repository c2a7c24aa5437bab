#pragma once

#include "platform/qt/qt_dialogs.h"

/// Qt's own file dialog, which confirms overwriting where asked to, and QMessageBox, which
/// shows the text as plain text: it names files, whose names must not be read as markup.
class QtStandardDialogs : public QtDialogs {
public:
    bool saveFile(QWidget* parent, OverwritePrompt prompt, std::string& path) override;
    void messageBox(QWidget* parent, const std::string& text, const std::string& caption,
                    MessageBoxKind kind) override;
};
