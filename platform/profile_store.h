#pragma once

#include <string>

/// Integers by section and key in an INI file, written as signed decimal text. Each call reads
/// the file afresh, so a value written is seen by any other store on the same file.
class ProfileStore {
public:
    explicit ProfileStore(std::string path) : m_path(std::move(path)) {}

    /// Writes value under section and key, creating the file, section or key as needed.
    bool writeInt(const char* section, const char* key, int value) const;
    /// The value under section and key, or fallback when the file, section or key is missing.
    int getInt(const char* section, const char* key, int fallback) const;

    const std::string& path() const { return m_path; }

    /// The profile file of an application: <config folder>/<name>.INI, where the config folder is
    /// $XDG_CONFIG_HOME, or ~/.config when that is unset or not absolute.
    static std::string pathFor(const std::string& appName);

private:
    std::string m_path;
};
