#include "platform/qt/qt_system_menu.h"

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

void QtSystemMenu::addEntry(UINT id, const QString& text) {
    QAction* action = m_menu->addAction(text);
    action->setData(id);
    // QMenu hides itself before it triggers, so the command may open a modal dialog.
    QObject::connect(action, &QAction::triggered, m_menu.data(), [this, id] {
        if (m_onChoose) {
            m_onChoose(id);
        }
    });
}
