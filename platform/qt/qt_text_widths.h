#pragma once

#include <QFont>
#include <array>
#include <string>

/// Measures texts in one font at a time, cheaply for the usual file names: a text of printable
/// ASCII is the sum of its characters' advances, kept in a table per font, so that the rows of a
/// long list cost no text shaping (about 50 µs a text); any other text is shaped whole. The sum
/// leaves kerning aside, which only ever narrows a text, so the width is never short of it.
class QtTextWidths {
public:
    /// The width of text (UTF-8) in font, in pixels, rounded up.
    int of(const QFont& font, const std::string& text);

private:
    static constexpr int FIRST = 0x20;
    static constexpr int LAST = 0x7e;

    QFont m_font;
    bool m_known = false; ///< whether m_advances are m_font's
    std::array<double, LAST - FIRST + 1> m_advances{};
};
