#include "platform/headless/headless_combo_box.h"

int HeadlessComboBox::addString(const std::string& text) {
    m_items.push_back(text);
    return count() - 1;
}

int HeadlessComboBox::select(int index) {
    m_selection = index >= 0 && index < count() ? index : -1;
    return m_selection;
}

void HeadlessComboBox::reset() {
    m_items.clear();
    m_selection = -1;
}
