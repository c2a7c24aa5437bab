#include "platform/qt/qt_dialog_units.h"

#include <QFontMetrics>

QtDialogUnits::QtDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = metrics.height();
    // A font without metrics (no font engine at all) still gives usable windows.
    if (m_baseX <= 0) {
        m_baseX = 6;
    }
    if (m_baseY <= 0) {
        m_baseY = 13;
    }
}

int QtDialogUnits::toPixelsX(int x) const {
    return mulDiv(x, m_baseX, 4);
}

int QtDialogUnits::toPixelsY(int y) const {
    return mulDiv(y, m_baseY, 8);
}

QRect QtDialogUnits::toPixels(int x, int y, int cx, int cy) const {
    return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(cx), toPixelsY(cy));
}

int QtDialogUnits::mulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}
