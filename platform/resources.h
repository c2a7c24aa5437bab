#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/image.h"
#include "platform/win_types.h"

/// What kind of window a dialog control is; the backends build a widget for each. A ComboBox is
/// a drop-down list (CBS_DROPDOWNLIST): its rectangle is the closed field, and the list of
/// entries drops below it.
enum class ControlKind {
    PushButton,
    RadioButton,
    ListView,
    StaticText,
    StaticBitmap,
    ProgressBar,
    ComboBox,
};

/// One control of a dialog template; position and size in dialog units.
struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::PushButton;
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0; ///< WS_*, BS_*, SS_* bits beyond child and visible
    int imageId = 0; ///< bitmap resource of a StaticBitmap control
};

/// A dialog template: caption, frame, font and the controls in tab order.
struct DialogTemplate {
    int id = 0;
    std::string caption;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string fontName;
    int pointSize = 8;
    std::vector<ControlTemplate> controls;
};

/// The program's resources, registered once at start-up by whoever owns them and looked up by ID.
namespace Resources {
void addDialog(DialogTemplate dialog);
void addString(int id, std::string text);
/// Registers a BMP file's bytes under id; false when they don't decode.
bool addBitmap(int id, const std::uint8_t* bmp, std::size_t size);
/// Registers an icon made of one or more BMP pictures (magenta is transparent); false on bad data.
bool addIcon(int id, const std::vector<std::pair<const std::uint8_t*, std::size_t>>& bmps);

const DialogTemplate* dialog(int id);
/// False when the string is missing; text is then left empty.
bool loadString(int id, std::string& text);
HBITMAP bitmap(int id);
HICON icon(int id);
/// Drops everything registered (tests start from a clean table).
void clear();
} // namespace Resources
