#pragma once

// A fresh folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <string>

class ScratchFolder {
public:
    /// Makes the folder under $TMPDIR (or /tmp); with enter, it is also the current folder until
    /// the scratch folder goes, when the previous one is put back.
    explicit ScratchFolder(bool enter = false);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// The full path of relative inside the folder.
    std::string operator/(const std::string& relative) const {
        return (m_path / relative).string();
    }
    /// Writes bytes to relative (its folders made as needed); returns the full path.
    std::string write(const std::string& relative, const std::string& bytes) const;
    /// The whole content of a file.
    static std::string read(const std::string& path);

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};
