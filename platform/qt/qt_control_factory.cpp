#include "platform/qt/qt_control_factory.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>

#include "platform/qt/qt_eliding_label.h"
#include "platform/qt/qt_list_selection.h"
#include "platform/qt/qt_radio_button.h"
#include "platform/qt/qt_report_model.h"
#include "platform/qt/qt_report_view.h"
#include "platform/qt/qt_size_grip.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/qt_window_sizer.h"

namespace {

constexpr DWORD BUTTON_TYPE_MASK = 0xF;
constexpr DWORD STATIC_TYPE_MASK = 0x1F;

// Tells the dialog that the user acted on control (code: BN_CLICKED, CBN_SELCHANGE). While the
// dialog's long work runs only its stop control is heard: actions that reach a control by other
// ways than input (an accessibility action, say) are dropped like input.
void notify(QtWindow* control, UINT code) {
    if (control->widget == nullptr || control->parent == nullptr) {
        return;
    }
    if (control->parent->busy > 0 && control->id != control->parent->stopId) {
        return;
    }
    control->parent->send(WM_COMMAND, MAKEWPARAM(UINT(control->id), code),
                          reinterpret_cast<LPARAM>(control->handle()));
}

QWidget* makePushButton(QtWindow& control, QWidget* parent) {
    auto* button = new QPushButton(parent);
    if ((control.style & BUTTON_TYPE_MASK) == BS_DEFPUSHBUTTON) {
        button->setDefault(true);
    }
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [window = &control] { notify(window, BN_CLICKED); });
    return button;
}

QWidget* makeRadioButton(QtWindow& control, QWidget* parent) {
    auto* button = new QtRadioButton(parent);
    QtWindow* window = &control;
    button->onChecked = [window] { QtControlFactory::checkInGroup(*window); };
    button->acceptsInput = [window] {
        const QtWindow* dialog = window->parent;
        return dialog == nullptr || (dialog->enabled && dialog->busy == 0);
    };
    button->onArrow = [window](int step) {
        const std::vector<QtWindow*> group = window->radioGroup();
        auto at = std::find(group.begin(), group.end(), window);
        if (group.size() < 2 || at == group.end()) {
            return;
        }
        const std::ptrdiff_t count = std::ptrdiff_t(group.size());
        const std::ptrdiff_t next = ((at - group.begin()) + step + count) % count;
        QWidget* target = group[std::size_t(next)]->widget;
        if (target != nullptr && target->isEnabled()) {
            target->setFocus(Qt::OtherFocusReason);
            static_cast<QAbstractButton*>(target)->click();
        }
    };
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [window] { notify(window, BN_CLICKED); });
    return button;
}

QWidget* makeComboBox(QtWindow& control, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    // activated comes of the user's choices only (mouse, keyboard, wheel), also of an entry
    // chosen again; a selection made by the program emits currentIndexChanged alone.
    QObject::connect(combo, &QComboBox::activated, combo,
                     [window = &control] { notify(window, CBN_SELCHANGE); });
    return combo;
}

QWidget* makeListView(QtWindow& control, QWidget* parent) {
    auto* view = new QtReportView(parent);
    auto* model = new QtReportModel(view);
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(false);
    view->setIconSize(QSize(16, 16));
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    view->header()->setSectionResizeMode(QHeaderView::Interactive);
    if ((control.style & WS_BORDER) == 0) {
        view->setFrameShape(QFrame::NoFrame);
    }
    control.model = model;
    control.selection = new QtListSelection(view->selectionModel());
    // A click on a header is the dialog's to act on (sorting, say), as the window system's list
    // views tell it.
    view->header()->setSectionsClickable(true);
    QObject::connect(
        view->header(), &QHeaderView::sectionClicked, view, [window = &control](int column) {
            QtWindow* dialog = window->parent;
            if (window->widget == nullptr || dialog == nullptr || dialog->busy > 0 ||
                !dialog->enabled) {
                return;
            }
            NMLISTVIEW notice;
            notice.hdr = NMHDR{window->handle(), UINT_PTR(window->id), LVN_COLUMNCLICK};
            notice.iSubItem = column;
            dialog->send(WM_NOTIFY, WPARAM(window->id), reinterpret_cast<LPARAM>(&notice));
        });
    // Ctrl+C copies the selected rows, top first, a line each with its cells between tabs: a
    // digest, or a signature's fingerprint, to paste elsewhere.
    auto* copy = new QAction(view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(copy);
    QObject::connect(copy, &QAction::triggered, view, [view, model] {
        QModelIndexList rows = view->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end(),
                  [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        QString text;
        for (const QModelIndex& row : rows) {
            for (int column = 0; column < model->columnCount(); ++column) {
                text += (column == 0 ? QString() : QStringLiteral("\t")) +
                        model->index(row.row(), column).data().toString();
            }
            text += QLatin1Char('\n');
        }
        if (!text.isEmpty()) {
            QGuiApplication::clipboard()->setText(text);
        }
    });
    return view;
}

QWidget* makeStatic(QtWindow& control, QWidget* parent) {
    if (control.kind == ControlKind::StaticBitmap && control.isSizeGrip) {
        auto* grip = new QtSizeGrip(parent);
        QtWindow* dialog = control.parent;
        grip->beforeResize = [dialog] { QtWindowSizer::applyTrackLimits(*dialog); };
        return grip;
    }
    const bool elides = (control.style & SS_ENDELLIPSIS) != 0;
    auto* label = elides ? new QtElidingLabel(parent) : new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(control.kind == ControlKind::StaticText &&
                       (control.style & STATIC_TYPE_MASK) != SS_LEFTNOWORDWRAP && !elides);
    return label;
}

QWidget* makeProgressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    // The row beside the bar says how far the work is, in words.
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

} // namespace

void QtControlFactory::build(QtWindow& control, const QRect& rect) {
    QWidget* parent = control.parent->widget;
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::PushButton:
        widget = makePushButton(control, parent);
        break;
    case ControlKind::RadioButton:
        widget = makeRadioButton(control, parent);
        break;
    case ControlKind::ListView:
        widget = makeListView(control, parent);
        break;
    case ControlKind::StaticText:
    case ControlKind::StaticBitmap:
        widget = makeStatic(control, parent);
        break;
    case ControlKind::ProgressBar:
        widget = makeProgressBar(parent);
        break;
    case ControlKind::ComboBox:
        widget = makeComboBox(control, parent);
        break;
    }
    const bool tabStop = (control.style & WS_TABSTOP) != 0;
    const bool takesFocus = control.kind != ControlKind::StaticText &&
                            control.kind != ControlKind::StaticBitmap &&
                            control.kind != ControlKind::ProgressBar;
    widget->setFocusPolicy(!takesFocus ? Qt::NoFocus : tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    widget->setGeometry(rect);
    control.widget = widget;
    control.sentSize = rect.size();
    applyText(control);
    if (control.kind == ControlKind::RadioButton) {
        updateGroupTabStop(control);
    }
    if ((control.style & WS_VISIBLE) != 0) {
        widget->show();
    }
}

void QtControlFactory::applyText(QtWindow& window) {
    QWidget* widget = window.widget;
    if (widget == nullptr) {
        return;
    }
    const QString text = QtText::toQString(window.text);
    if (window.isDialog) {
        widget->setWindowTitle(text);
        return;
    }
    QString name = QtText::toQString(window.accessibleName);
    switch (window.kind) {
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
        // Buttons show '&' as the mnemonic underline; the accessible name is the plain label.
        static_cast<QAbstractButton*>(widget)->setText(text);
        if (window.accessibleName.empty()) {
            name = QtText::withoutMnemonics(text);
        }
        break;
    case ControlKind::StaticText: {
        // SS_NOPREFIX: the text is shown as it is, '&' included (file names, say). A label with
        // a buddy shows its mnemonic underlined.
        auto* label = static_cast<QLabel*>(widget);
        const bool plain = (window.style & SS_NOPREFIX) != 0 || label->buddy() != nullptr;
        label->setText(plain ? text : QtText::withoutMnemonics(text));
        break;
    }
    case ControlKind::ComboBox:
        labelForScreenReaders(static_cast<QComboBox*>(widget), name);
        break;
    case ControlKind::ListView:
    case ControlKind::StaticBitmap:
    case ControlKind::ProgressBar:
        // These show no text of their own.
        break;
    }
    widget->setAccessibleName(name);
}

void QtControlFactory::linkLabels(QtWindow& dialog) {
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        QtWindow* label = dialog.controls[i];
        if (label->kind != ControlKind::StaticText || (label->style & SS_NOPREFIX) != 0 ||
            label->widget == nullptr ||
            QKeySequence::mnemonic(QtText::toQString(label->text)).isEmpty()) {
            continue;
        }
        for (std::size_t j = i + 1; j < dialog.controls.size(); ++j) {
            QWidget* next = dialog.controls[j]->widget;
            if (next != nullptr && next->focusPolicy() != Qt::NoFocus) {
                static_cast<QLabel*>(label->widget.data())->setBuddy(next);
                applyText(*label);
                break;
            }
        }
    }
}

void QtControlFactory::labelForScreenReaders(QComboBox* combo, const QString& name) {
    // On Linux, Qt gives a drop-down list the name of its selected entry and leaves its own name
    // to a label beside it that has it as buddy (AT-SPI's "labelled by"): a hidden label in the
    // same dialog carries it.
    QWidget* dialog = combo->parentWidget();
    if (dialog == nullptr) {
        return;
    }
    // Only the hidden label made here is ours to change; a visible one the dialog has for the
    // list is the dialog's.
    const QString ours = QStringLiteral("accessibleNameOf") + QString::number(quintptr(combo));
    QLabel* label = nullptr;
    for (QLabel* sibling : dialog->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (sibling->buddy() == combo && sibling->objectName() == ours) {
            label = sibling;
        }
    }
    if (name.isEmpty()) {
        delete label;
        return;
    }
    if (label == nullptr) {
        label = new QLabel(dialog);
        label->setObjectName(ours);
        label->hide();
        label->setBuddy(combo);
    }
    label->setText(name);
}

void QtControlFactory::checkInGroup(QtWindow& radio) {
    for (QtWindow* member : radio.radioGroup()) {
        if (member->widget != nullptr) {
            static_cast<QAbstractButton*>(member->widget.data())->setChecked(member == &radio);
        }
    }
    updateGroupTabStop(radio);
}

void QtControlFactory::updateGroupTabStop(const QtWindow& radio) {
    const std::vector<QtWindow*> group = radio.radioGroup();
    const bool ownTabStop = std::any_of(group.begin(), group.end(), [](const QtWindow* member) {
        return (member->style & WS_TABSTOP) != 0;
    });
    if (group.empty() || ownTabStop) {
        return;
    }
    const QtWindow* entry = group.front();
    for (const QtWindow* member : group) {
        const auto* button = static_cast<const QAbstractButton*>(member->widget.data());
        if (button != nullptr && button->isChecked()) {
            entry = member;
            break;
        }
    }
    for (const QtWindow* member : group) {
        if (member->widget != nullptr) {
            member->widget->setFocusPolicy(member == entry ? Qt::StrongFocus : Qt::ClickFocus);
        }
    }
}
