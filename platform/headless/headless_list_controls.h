#pragma once

#include "platform/list_controls.h"

class HeadlessDesktop;

/// The headless list views: the rows live in each list's record (HeadlessListView).
class HeadlessListControls : public ListControls {
public:
    explicit HeadlessListControls(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    void listInsertColumn(HWND list, int position, const std::string& heading,
                          ColumnAlignment alignment, int width) override;
    int listInsertItem(HWND list, int position, const std::string& text, int image) override;
    bool listSetItemText(HWND list, int item, int subItem, const std::string& text) override;
    void listDeleteAllItems(HWND list) override;
    int listItemCount(HWND list) const override;
    std::string listItemText(HWND list, int item, int subItem) const override;
    int listItemImage(HWND list, int item) const override;
    void listSetImageList(HWND list, HIMAGELIST images, ImageListKind kind) override;

private:
    HeadlessDesktop& m_desktop;
};
