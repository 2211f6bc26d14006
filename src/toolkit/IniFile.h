// INI files read and written the way the Windows profile functions treat them, so that a
// file reads the same on every platform: sections and keys are compared ignoring (ASCII)
// case, names and values are trimmed, and reading a value removes one pair of surrounding
// quotes. A section name runs to the last ']' of its line, so names may hold ']'. Text is
// UTF-8 and passed through as bytes.
//
// The whole file is read into memory when the object is made and written back only by
// UpdateFile, through a temporary file renamed over the old one: a failed save never leaves
// a half-written file, and lines the writer does not touch (comments, foreign keys) are kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TIniFile final {
public:
    // Files larger than this are refused as a whole rather than read into memory.
    static constexpr std::uintmax_t MaxFileSize = 16u * 1024u * 1024u;

    // An empty file kept in memory only (UpdateFile needs a file name).
    TIniFile() : FSections(1) {}
    // Reads FileName. A missing file reads as empty (Exists() tells); a file that exists but
    // cannot be read, or is larger than MaxFileSize, raises EQBException with the reason.
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return FFileName; }
    // True when the file was there when it was read.
    bool Exists() const { return FExists; }

    // Replaces the contents with the lines of Text (CR LF, LF or CR end a line).
    void SetText(std::string_view text);
    // The contents as file text, lines ended by CR LF.
    std::string GetText() const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The value of Key, without one pair of surrounding quotes; Default when absent.
    std::string ReadString(std::string_view section, std::string_view key, const std::string& defaultValue) const;
    // The value of Key as a decimal 32-bit integer; Default when absent or not a number.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // The key names of Section in file order (each name once, as first written).
    std::vector<std::string> ReadSection(std::string_view section) const;
    // Key and value (quotes removed as by ReadString) of every key of Section, first
    // occurrence of each name only, in file order.
    std::vector<std::pair<std::string, std::string>> ReadSectionValues(std::string_view section) const;
    // The names of all sections, in file order.
    std::vector<std::string> ReadSections() const;

    // Sets Key to Value (written as given), creating the key and the section when needed.
    // Raises EQBException for a blank name, a key holding '=' or starting with '[' or ';',
    // and for line breaks or NUL in any of the three: they could not be read back.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    // Writes the contents to FileName: into a temporary file in the same folder, flushed to
    // disk, then renamed over the old file (whose permissions it keeps). Raises EQBException
    // when that fails; the old file is then untouched and no temporary file is left.
    void UpdateFile() const;

private:
    struct TEntry {
        std::string Key;    // trimmed; empty for a line that holds no key
        std::string Value;  // trimmed, quotes kept
        std::string Line;   // the line as it stands in the file
        bool IsPair = false;
    };
    struct TSection {
        std::string Name;    // trimmed
        std::string Header;  // the header line as it stands; empty for the lines before any
        bool Valid = false;  // a readable section: a header with its ']'
        std::vector<TEntry> Entries;
    };

    const TSection* FindSection(std::string_view name) const;
    TSection* FindSection(std::string_view name);
    static const TEntry* FindEntry(const TSection& section, std::string_view key);

    std::string FFileName;
    bool FExists = false;
    std::vector<TSection> FSections;  // [0] holds the lines before the first header; always there
};
