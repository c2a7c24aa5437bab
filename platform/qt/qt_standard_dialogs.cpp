#include "platform/qt/qt_standard_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/qt/qt_text.h"

namespace {

QMessageBox::Icon messageIcon(MessageBoxKind kind) {
    switch (kind) {
    case MessageBoxKind::Error:
        return QMessageBox::Critical;
    case MessageBoxKind::Question:
        return QMessageBox::Question;
    case MessageBoxKind::Warning:
        return QMessageBox::Warning;
    case MessageBoxKind::Information:
        return QMessageBox::Information;
    case MessageBoxKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

bool QtStandardDialogs::saveFile(QWidget* parent, OverwritePrompt prompt, std::string& path) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, prompt == OverwritePrompt::DontAsk);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QByteArray chosen = QFile::encodeName(dialog.selectedFiles().constFirst());
    if (chosen.isEmpty()) {
        return false;
    }
    path.assign(chosen.constData(), std::size_t(chosen.size()));
    return true;
}

void QtStandardDialogs::messageBox(QWidget* parent, const std::string& text,
                                   const std::string& caption, MessageBoxKind kind) {
    QMessageBox box(messageIcon(kind), QtText::toQString(caption), QString(), QMessageBox::Ok,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(QtText::toQString(text));
    box.exec();
}
