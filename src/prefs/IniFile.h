#pragma once

#include <string>
#include <vector>

// An ini-style settings file held in memory as sections of key/value pairs.
//
// Sections and keys keep the order of their first appearance; new ones are appended.
// Names are compared byte for byte (case-sensitive, nothing trimmed) and nothing is ever
// removed. Every byte is kept, zero bytes included, and written back unchanged.
class CIniFile {
public:
    CIniFile();
    virtual ~CIniFile();

    void SetPath(const std::string& path);
    const std::string& GetPath() const { return m_path; }

    // Merges the file at the path into what is held. A missing file fails and leaves the
    // last error as it was; a file that cannot be opened (or is no regular file, such as
    // a folder) fails with "Unable to open ini file.".
    bool Load();
    // Replaces the file at the path with the whole store, through a temporary file in the
    // same folder that is renamed over it: on failure the old file is left untouched.
    // A symbolic link is kept and the file it points to is replaced. A file without any
    // write bit is read-only and is not replaced, for the superuser too. With `ownerOnly`
    // the file becomes readable and writable by its owner alone (it holds a password).
    bool Save(bool ownerOnly = false);
    // Why the last Save failed, such as "Permission denied"; empty after a success. The
    // last error above is about loading and lookups and is not touched by Save.
    const std::string& SaveError() const { return m_saveError; }

    // A missing section or key yields the empty text (or 0) and sets the last error.
    std::string GetValue(const std::string& section, const std::string& key);
    // Reads the value as atoi does; values beyond the int range are clamped.
    int GetValueInt(const std::string& section, const std::string& key);

    // Without `create` only an existing key of an existing section changes; with it the
    // section and key are appended where missing.
    bool SetValue(const std::string& section, const std::string& key, const std::string& value,
                  bool create);
    bool SetValueInt(const std::string& section, const std::string& key, int value, bool create);

    // Indexes in order of appearance, or -1 when missing (also for an invalid section).
    int FindSection(const std::string& name) const;
    int FindKey(int section, const std::string& name) const;

    const std::string& GetLastError() const { return m_lastError; }

private:
    struct Section {
        std::string name;
        std::vector<std::string> keys;
        std::vector<std::string> values; // values[i] belongs to keys[i]
    };

    std::string Serialize() const;

    std::string m_path;
    std::vector<Section> m_sections;
    std::string m_lastError;
    std::string m_saveError;
};
