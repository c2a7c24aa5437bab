#include "platform/qt/qt_text.h"

QString QtText::toQString(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

QString QtText::withoutMnemonics(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            ++i;
            if (i == text.size()) {
                break;
            }
        }
        plain += text[i];
    }
    return plain;
}
