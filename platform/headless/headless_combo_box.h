#pragma once

#include <string>
#include <vector>

/// The entries of a drop-down list, in the order added, and which one is selected.
class HeadlessComboBox {
public:
    /// Appends an entry; returns its index.
    int addString(const std::string& text);
    /// Selects entry index; an index out of range (-1 included) selects none. The selection.
    int select(int index);
    /// Removes every entry; none is selected.
    void reset();

    int count() const { return int(m_items.size()); }
    /// The selected entry's index, or -1 when none is.
    int selection() const { return m_selection; }
    const std::vector<std::string>& items() const { return m_items; }

private:
    std::vector<std::string> m_items;
    int m_selection = -1;
};
