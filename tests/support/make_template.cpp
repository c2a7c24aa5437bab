#include "tests/support/make_template.h"

#include <utility>

DialogTemplate makeTemplate(int id, std::vector<ControlTemplate> controls, TemplateShape shape) {
    DialogTemplate tmpl;
    tmpl.id = id;
    tmpl.caption = "Test Window";
    tmpl.x = shape.x;
    tmpl.y = shape.y;
    tmpl.cx = shape.cx;
    tmpl.cy = shape.cy;
    tmpl.style =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | (shape.resizable ? WS_THICKFRAME : 0);
    tmpl.fontName = "MS Sans Serif";
    tmpl.controls = std::move(controls);
    return tmpl;
}
