#include "platform/resources.h"

#include <map>
#include <memory>

namespace {

struct Table {
    std::map<int, DialogTemplate> dialogs;
    std::map<int, std::string> strings;
    std::map<int, std::unique_ptr<Image>> bitmaps;
    std::map<int, std::unique_ptr<IconResource>> icons;
};

Table& table() {
    static Table t;
    return t;
}

// Magenta marks the transparent parts of icons, as in the program's other images.
void makeMagentaTransparent(Image& image) {
    for (std::uint32_t& p : image.pixels) {
        if ((p & 0xFFFFFFu) == 0xFF00FFu) {
            p = 0;
        }
    }
}

} // namespace

namespace Resources {

void addDialog(DialogTemplate dialog) {
    const int id = dialog.id;
    table().dialogs[id] = std::move(dialog);
}

void addString(int id, std::string text) {
    table().strings[id] = std::move(text);
}

bool addBitmap(int id, const std::uint8_t* bmp, std::size_t size) {
    auto image = std::make_unique<Image>();
    if (!decodeBmp(bmp, size, *image)) {
        return false;
    }
    table().bitmaps[id] = std::move(image);
    return true;
}

bool addIcon(int id, const std::vector<std::pair<const std::uint8_t*, std::size_t>>& bmps) {
    auto icon = std::make_unique<IconResource>();
    for (const auto& [data, size] : bmps) {
        Image image;
        if (!decodeBmp(data, size, image)) {
            return false;
        }
        makeMagentaTransparent(image);
        icon->images.push_back(std::move(image));
    }
    if (icon->images.empty()) {
        return false;
    }
    table().icons[id] = std::move(icon);
    return true;
}

const DialogTemplate* dialog(int id) {
    auto it = table().dialogs.find(id);
    return it == table().dialogs.end() ? nullptr : &it->second;
}

bool loadString(int id, std::string& text) {
    auto it = table().strings.find(id);
    if (it == table().strings.end()) {
        text.clear();
        return false;
    }
    text = it->second;
    return true;
}

HBITMAP bitmap(int id) {
    auto it = table().bitmaps.find(id);
    return it == table().bitmaps.end() ? nullptr : it->second.get();
}

HICON icon(int id) {
    auto it = table().icons.find(id);
    return it == table().icons.end() ? nullptr : it->second.get();
}

void clear() {
    table() = Table{};
}

} // namespace Resources
