#pragma once

#include <QString>
#include <string>

/// Conversions between the framework's 8-bit texts and Qt's strings. The 8-bit texts are in the
/// system's encoding, which is UTF-8 for Qt on Linux; file names arrive as their exact bytes.
class QtText {
public:
    /// bytes as a QString (invalid sequences become replacement characters).
    static QString toQString(const std::string& bytes);
    /// text without mnemonic markers: "&&" becomes "&", a lone '&' is dropped.
    static QString withoutMnemonics(const QString& text);
};
