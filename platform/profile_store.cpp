#include "platform/profile_store.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "os/file_replace.h"

// The file is read whole on every call and, on a write, rewritten whole through a temporary file
// in the same folder that is then renamed over it (replaceFileContents: a link is followed, the
// file keeps its permission bits), so a reader never sees half a file and a failed write leaves
// the old one as it was. Lines we do not change are written back byte for byte, including
// comments, blank lines and their line ends.
//
// Names match without regard to ASCII case and surrounding blanks, so that a file edited by hand
// still reads. A value is read as blanks, an optional sign and the leading decimal digits; text
// that starts with anything else reads as 0, and an empty value counts as missing (the
// fallback). Digits beyond 32 bits wrap around modulo 2^32, so that every value reads as some
// int rather than failing.

namespace {

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// A section or key that would change the file's structure when written is refused.
bool usableName(const char* name, std::string_view forbidden) {
    if (name == nullptr) {
        return false;
    }
    const std::string_view text(name);
    if (trim(text).empty() || text.find_first_of("\r\n") != std::string_view::npos) {
        return false;
    }
    return text.find_first_of(forbidden) == std::string_view::npos;
}

bool usableSection(const char* section) {
    return usableName(section, "]");
}
bool usableKey(const char* key) {
    if (!usableName(key, "=")) {
        return false;
    }
    const char first = trim(key).front(); // a key must not read back as a header or a comment
    return first != '[' && first != ';' && first != '#';
}

// One line of the file without its line end, which stays in the raw text.
struct Line {
    std::size_t begin = 0; // offset of the line in the file text
    std::size_t end = 0;   // offset just past its line end
    std::string_view text; // without "\n" and a trailing "\r"
};

std::vector<Line> splitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        std::size_t newline = content.find('\n', begin);
        const std::size_t end = newline == std::string::npos ? content.size() : newline + 1;
        std::size_t stop = newline == std::string::npos ? content.size() : newline;
        if (stop > begin && content[stop - 1] == '\r') {
            --stop;
        }
        lines.push_back({begin, end, std::string_view(content).substr(begin, stop - begin)});
        begin = end;
    }
    return lines;
}

// The name of a "[name]" line, or false for any other line.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.empty() || line.front() != '[') {
        return false;
    }
    const std::size_t close = line.find(']');
    name = trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
    return true;
}

// The key and value of a "key=value" line, or false for comments and other lines.
bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
        return false;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    key = trim(line.substr(0, equals));
    value = trim(line.substr(equals + 1));
    return true;
}

// Where a key lives in the file text.
struct Found {
    bool section = false;       // some section of that name exists
    std::size_t sectionEnd = 0; // just past the last key line (or the header) of the first one
    bool key = false;           // the key exists in such a section
    std::size_t keyBegin = 0;   // the key's line
    std::size_t keyTextEnd = 0; // end of its text, before its line end
    std::string_view value;     // its value, trimmed
};

// Sections of one name are searched in file order; the first line with the key wins.
Found find(const std::string& content, std::string_view section, std::string_view key) {
    Found found;
    bool inSection = false;
    bool firstSection = false;
    for (const Line& line : splitLines(content)) {
        std::string_view name;
        if (sectionName(line.text, name)) {
            inSection = sameName(name, section);
            firstSection = inSection && !found.section;
            if (firstSection) {
                found.section = true;
                found.sectionEnd = line.end;
            }
            continue;
        }
        std::string_view lineKey;
        std::string_view value;
        if (!inSection || !keyValue(line.text, lineKey, value)) {
            continue;
        }
        if (firstSection) {
            found.sectionEnd = line.end;
        }
        if (sameName(lineKey, key)) {
            found.key = true;
            found.keyBegin = line.begin;
            found.keyTextEnd = line.begin + line.text.size();
            found.value = value;
            return found;
        }
    }
    return found;
}

bool readFile(const std::string& path, std::string& content, bool& exists) {
    content.clear();
    exists = false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return errno == ENOENT || errno == ENOTDIR;
    }
    exists = true;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

// Creates every missing folder on the way to path's folder; new folders are private to the user,
// as a configuration folder should be.
bool makeParentFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

// The leading integer of text: blanks, an optional sign, decimal digits; 0 without digits.
int leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0; // unsigned, so that overlong numbers wrap instead of overflowing
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + std::uint32_t(text[i] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return std::int32_t(value);
}

} // namespace

bool ProfileStore::writeInt(const char* section, const char* key, int value) const {
    if (m_path.empty() || !usableSection(section) || !usableKey(key)) {
        return false;
    }
    std::string content;
    bool exists = false;
    if (!readFile(m_path, content, exists)) {
        return false; // an unreadable file is not replaced: its other values would be lost
    }
    const bool crlf = content.find("\r\n") != std::string::npos;
    const std::string eol = crlf ? "\r\n" : "\n";
    const std::string number = std::to_string(value);
    const Found found = find(content, trim(section), trim(key));
    std::string keyLine(trim(key));
    keyLine.append("=").append(number).append(eol);
    if (found.key) {
        // Keep the key as it is spelt in the file; only the value changes.
        const std::size_t equals = content.find('=', found.keyBegin);
        content.replace(equals + 1, found.keyTextEnd - equals - 1, number);
    } else if (found.section) {
        if (found.sectionEnd == content.size() && !content.empty() && content.back() != '\n') {
            keyLine.insert(0, eol); // the file's last line had no line end
        }
        content.insert(found.sectionEnd, keyLine);
    } else {
        if (!content.empty()) {
            content += content.back() == '\n' ? eol : eol + eol; // a blank line between sections
        }
        content.append("[").append(trim(section)).append("]").append(eol).append(keyLine);
    }
    if (!exists && !makeParentFolders(m_path)) {
        return false;
    }
    return replaceFileContents(m_path.c_str(), content) == 0;
}

int ProfileStore::getInt(const char* section, const char* key, int fallback) const {
    if (m_path.empty() || !usableSection(section) || !usableKey(key)) {
        return fallback;
    }
    std::string content;
    bool exists = false;
    if (!readFile(m_path, content, exists) || !exists) {
        return fallback;
    }
    const Found found = find(content, trim(section), trim(key));
    if (!found.key || found.value.empty()) {
        return fallback;
    }
    return leadingInteger(found.value);
}

std::string ProfileStore::pathFor(const std::string& appName) {
    std::string folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            const struct passwd* user = ::getpwuid(::getuid());
            home = user != nullptr ? user->pw_dir : nullptr;
        }
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder + "/" + appName + ".INI";
}
