#include "platform/qt/qt_standard_dialogs.h"

#include <QAbstractItemView>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QRegularExpression>
#include <algorithm>

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

// "MD5 checksum list (*.md5 MD5SUMS)": the title without any patterns it gives in brackets,
// then the type's patterns as Qt reads them.
QString nameFilter(const FileType& type) {
    QString title = QtText::toQString(type.title);
    const qsizetype bracket = title.lastIndexOf(QStringLiteral(" ("));
    if (bracket > 0 && title.endsWith(QLatin1Char(')'))) {
        title.truncate(bracket);
    }
    QStringList patterns;
    for (const std::string& pattern : type.patterns) {
        patterns << QtText::toQString(pattern);
    }
    return title + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

// The name suggested for a kind of file: fileName, given ".ext" when the kind's first pattern is
// "*.ext" and fileName matches none of its patterns.
std::string suggestedName(const std::string& fileName, const FileType& type) {
    if (fileName.empty() || type.patterns.empty()) {
        return fileName;
    }
    for (const std::string& pattern : type.patterns) {
        const QRegularExpression match(
            QRegularExpression::wildcardToRegularExpression(QtText::toQString(pattern)),
            QRegularExpression::CaseInsensitiveOption);
        if (match.match(QtText::toQString(fileName)).hasMatch()) {
            return fileName;
        }
    }
    const std::string& first = type.patterns.front();
    if (first.size() > 2 && first.compare(0, 2, "*.") == 0 &&
        first.find_first_of("*?[", 2) == std::string::npos) {
        return fileName + first.substr(1);
    }
    return fileName;
}

// Qt's widget file dialog taking files and folders together: Open takes whatever is selected,
// folders among it, where the dialog alone would open the folder; a double click still enters
// one.
class FilesAndFoldersDialog : public QFileDialog {
public:
    explicit FilesAndFoldersDialog(QWidget* parent)
        : QFileDialog(parent, QStringLiteral("Add Files")) {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFiles);
        setLabelText(QFileDialog::Accept, QStringLiteral("&Add"));
        for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        }
    }

    const QStringList& chosen() const { return m_chosen; }

    void accept() override {
        const auto* view = findChild<QAbstractItemView*>(QStringLiteral("listView"));
        const auto* model =
            view != nullptr ? qobject_cast<const QFileSystemModel*>(view->model()) : nullptr;
        QStringList selected;
        bool folder = false;
        if (model != nullptr) {
            for (const QModelIndex& row : view->selectionModel()->selectedRows()) {
                selected << model->filePath(row);
                folder = folder || model->isDir(row);
            }
        }
        if (folder) {
            m_chosen = selected;
            QDialog::accept();
            return;
        }
        // Files alone, or names typed: the dialog's own checks.
        QFileDialog::accept();
        if (result() == QDialog::Accepted) {
            m_chosen = selectedFiles();
        }
    }

private:
    QStringList m_chosen;
};

} // namespace

bool QtStandardDialogs::saveFile(QWidget* parent, OverwritePrompt prompt, SaveChoices& choices,
                                 std::string& path) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, prompt == OverwritePrompt::DontAsk);
    QStringList filters;
    QStringList names;
    for (const FileType& type : choices.types) {
        filters << nameFilter(type);
        names << QtText::toQString(suggestedName(choices.fileName, type));
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (!choices.fileName.empty()) {
        dialog.selectFile(names.isEmpty() ? QtText::toQString(choices.fileName) : names.front());
    }
    // Another kind of file renames the suggestion, unless the user has typed a name of their own.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const qsizetype chosen = filters.indexOf(filter);
        const QStringList typed = dialog.selectedFiles();
        const QString current = typed.isEmpty() ? QString() : QFileInfo(typed.front()).fileName();
        if (chosen >= 0 && (current.isEmpty() || names.contains(current))) {
            dialog.selectFile(names[chosen]);
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QByteArray chosen = QFile::encodeName(dialog.selectedFiles().constFirst());
    if (chosen.isEmpty()) {
        return false;
    }
    choices.chosenType = std::max(0, int(filters.indexOf(dialog.selectedNameFilter())));
    path.assign(chosen.constData(), std::size_t(chosen.size()));
    return true;
}

bool QtStandardDialogs::openFiles(QWidget* parent, std::vector<std::string>& paths) {
    FilesAndFoldersDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    paths.clear();
    for (const QString& chosen : dialog.chosen()) {
        const QByteArray name = QFile::encodeName(chosen);
        if (!name.isEmpty()) {
            paths.emplace_back(name.constData(), std::size_t(name.size()));
        }
    }
    return !paths.empty();
}

void QtStandardDialogs::messageBox(QWidget* parent, const std::string& text,
                                   const std::string& caption, MessageBoxKind kind) {
    QMessageBox box(messageIcon(kind), QtText::toQString(caption), QString(), QMessageBox::Ok,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(QtText::toQString(text));
    box.exec();
}
