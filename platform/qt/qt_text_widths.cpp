#include "platform/qt/qt_text_widths.h"

#include <QFontMetricsF>
#include <cmath>

#include "platform/qt/qt_text.h"

int QtTextWidths::of(const QFont& font, const std::string& text) {
    const QFontMetricsF metrics(font);
    double width = 0;
    for (char c : text) {
        if (c < FIRST || c > LAST) {
            return static_cast<int>(std::ceil(metrics.horizontalAdvance(QtText::toQString(text))));
        }
    }
    if (!m_known || !(font == m_font)) {
        m_font = font;
        for (int c = FIRST; c <= LAST; ++c) {
            m_advances[static_cast<std::size_t>(c - FIRST)] = metrics.horizontalAdvance(QChar(c));
        }
        m_known = true;
    }
    for (char c : text) {
        width += m_advances[static_cast<std::size_t>(c - FIRST)];
    }
    return static_cast<int>(std::ceil(width));
}
