#include "platform/qt/qt_text_widths.h"

#include <QApplication>
#include <QFontMetricsF>
#include <cmath>
#include <gtest/gtest.h>

#include "platform/qt/qt_text.h"

namespace {

int shaped(const QFont& font, const std::string& text) {
    return static_cast<int>(
        std::ceil(QFontMetricsF(font).horizontalAdvance(QtText::toQString(text))));
}

// Without kerning, a text of printable ASCII is as wide as its shaping says, whatever its
// letters (each looked up in the table at its own place); other texts are shaped; a change of
// font is noticed.
TEST(QtTextWidthsTest, MatchesShapedTextsAndFollowsTheFont) {
    QFont font = QApplication::font();
    font.setKerning(false);
    QtTextWidths widths;
    for (const std::string text :
         {"WWWWWWWWWW", "iiiiiiiiii", " !~}", "file_000123.dat", "d41d8cd98f00b204e9800998ecf8427e",
          "Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f.jpg", ""}) {
        SCOPED_TRACE(text);
        EXPECT_NEAR(widths.of(font, text), shaped(font, text), 1);
    }
    QFont larger = font;
    larger.setPointSizeF(font.pointSizeF() * 3);
    EXPECT_NEAR(widths.of(larger, "WWWWWWWWWW"), shaped(larger, "WWWWWWWWWW"), 1);
    EXPECT_GT(widths.of(larger, "WWWWWWWWWW"), 2 * widths.of(font, "WWWWWWWWWW"));
}

} // namespace
