#pragma once

// Dialog templates for tests, made from a list of controls.

#include <vector>

#include "platform/resources.h"

/// The frame, size and place of a test dialog's template. The defaults make a 200 × 100
/// dialog-unit window at (0, 0) with a sizing frame.
struct TemplateShape {
    int cx = 200;          ///< client width in dialog units
    int cy = 100;          ///< client height in dialog units
    bool resizable = true; ///< a sizing frame (WS_THICKFRAME) rather than a fixed one
    int x = 0;             ///< outer left in dialog units
    int y = 0;             ///< outer top in dialog units
};

/// A template with the given controls in tab order: a pop-up window captioned "Test Window" with
/// a system menu, the font style bit, and the given shape. A test that needs other style bits
/// changes `style` on the result.
DialogTemplate makeTemplate(int id, std::vector<ControlTemplate> controls,
                            TemplateShape shape = {});
