#pragma once

#include <QFont>
#include <QRect>

/// Dialog units of a font, so that a template laid out in them keeps its proportions in any
/// font: the horizontal base unit is the average width of "A".."Z" "a".."z" rounded as
/// (width of the 52 letters / 26 + 1) / 2, the vertical one the font's height. A dialog unit is
/// a quarter of the horizontal and an eighth of the vertical base unit.
///
/// The templates ask for "MS Sans Serif" 8 pt, which Linux desktops do not have. Dialogs use the
/// desktop's user-interface font instead (QApplication::font(), a sans of 8 to 10 pt on common
/// desktops) and take their units from it, so that the texts fit their controls and a desktop
/// set to larger text gets a proportionally larger window.
class QtDialogUnits {
public:
    explicit QtDialogUnits(const QFont& font);
    QtDialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }
    int toPixelsX(int x) const;
    int toPixelsY(int y) const;
    /// The rectangle (x, y, cx, cy) in dialog units, in pixels.
    QRect toPixels(int x, int y, int cx, int cy) const;

    /// a × b / c rounded to nearest, halves away from zero (c > 0), as the platform's MulDiv.
    static int mulDiv(int a, int b, int c);

private:
    int m_baseX;
    int m_baseY;
};
