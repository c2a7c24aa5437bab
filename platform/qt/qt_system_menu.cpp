#include "platform/qt/qt_system_menu.h"

#include <QAction>
#include <QKeySequence>

#include "platform/qt/qt_text.h"

QtSystemMenu::QtSystemMenu(QWidget* window, std::function<void(UINT id)> onChoose)
    : m_menu(new QMenu(window)), m_onChoose(std::move(onChoose)) {
    addEntry(SC_CLOSE, QStringLiteral("&Close"));
}

QtSystemMenu::~QtSystemMenu() {
    delete m_menu.data();
}

bool QtSystemMenu::append(MenuEntryKind kind, UINT_PTR id, const std::string& text) {
    if (m_menu.isNull()) {
        return false;
    }
    if (kind == MenuEntryKind::Separator) {
        m_menu->addSeparator();
        return true;
    }
    addEntry(UINT(id), QtText::toQString(text));
    return true;
}

void QtSystemMenu::popup(const QPoint& at) {
    if (!m_menu.isNull()) {
        m_menu->popup(at);
    }
}

bool QtSystemMenu::check(UINT id, bool checked) {
    if (m_menu.isNull()) {
        return false;
    }
    for (QAction* action : m_menu->actions()) {
        if (!action->isSeparator() && action->data().toUInt() == id) {
            action->setCheckable(true);
            action->setChecked(checked);
            return true;
        }
    }
    return false;
}

void QtSystemMenu::addEntry(UINT id, const QString& text) {
    // "Text\tKeys": QMenu shows the keys in a column of their own once they are the shortcut.
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    QAction* action = m_menu->addAction(tab < 0 ? text : text.left(tab));
    action->setData(id);
    if (tab >= 0) {
        action->setShortcut(QKeySequence(text.mid(tab + 1)));
        action->setShortcutContext(Qt::WindowShortcut);
        // The window's own action list makes the key work while the menu is closed.
        if (QWidget* window = m_menu->parentWidget()) {
            window->addAction(action);
        }
    }
    // QMenu hides itself before it triggers, so the command may open a modal dialog.
    QObject::connect(action, &QAction::triggered, m_menu.data(), [this, id] {
        if (m_onChoose) {
            m_onChoose(id);
        }
    });
}
