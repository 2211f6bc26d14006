// The INI reader and writer: parsing lines into sections, the profile lookups, and the
// atomic write through a temporary file.
#include "toolkit/IniFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace fs = std::filesystem;

namespace {

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The value as the profile functions return it: one pair of equal surrounding quotes removed.
std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        return value.substr(1, value.size() - 2);
    return value;
}

// A decimal 32-bit integer with an optional sign and nothing else; false otherwise.
bool ParseInteger(std::string_view text, int& result) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
    if (i == text.size()) return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) return false;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return false;
    result = static_cast<int>(value);
    return true;
}

std::string ErrnoText() { return std::strerror(errno); }

}  // namespace

// --- reading ---

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {
    std::error_code error;
    const fs::file_status status = fs::status(FFileName, error);
    if (!fs::exists(status)) {
        SetText({});
        return;
    }
    auto fail = [this](const std::string& reason) {
        throw EQBException(FormatMessage(QBResource::SFileReadError, {FFileName, reason}));
    };
    if (fs::is_directory(status)) fail(std::strerror(EISDIR));
    // A pipe or a device would block the reader or never end.
    if (!fs::is_regular_file(status)) fail(std::strerror(EINVAL));
    std::ifstream in(FFileName, std::ios::binary);
    if (!in) fail(ErrnoText());
    // The limit is checked while reading, so a file growing meanwhile is still caught.
    std::string text;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > MaxFileSize)
            throw EQBException(
                FormatMessage(QBResource::SFileTooLarge, {FFileName, std::to_string(MaxFileSize)}));
    }
    if (in.bad()) fail(ErrnoText());
    FExists = true;
    SetText(text);
}

void TIniFile::SetText(std::string_view text) {
    FSections.clear();
    FSections.emplace_back();
    // A byte-order mark is not part of the first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        // CR LF, LF and CR each end one line.
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++start;
        // A NUL ends the text of a line, as it ends a string for the profile functions.
        const std::size_t nul = line.find('\0');
        if (nul != std::string::npos) line.erase(nul);

        const std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed[0] == '[') {
            TSection section;
            section.Header = line;
            const std::size_t close = trimmed.rfind(']');
            // A header without its ']' opens a section nobody can address, so the keys below
            // it cannot be taken for keys of the section before.
            section.Valid = close != std::string::npos && close > 0;
            if (section.Valid) section.Name = Trim(std::string_view(trimmed).substr(1, close - 1));
            FSections.push_back(std::move(section));
            continue;
        }
        TEntry entry;
        entry.Line = line;
        const std::size_t equals = trimmed.find('=');
        if (!trimmed.empty() && trimmed[0] != ';' && equals != std::string::npos) {
            entry.Key = Trim(std::string_view(trimmed).substr(0, equals));
            entry.Value = Trim(std::string_view(trimmed).substr(equals + 1));
            entry.IsPair = !entry.Key.empty();
        }
        FSections.back().Entries.push_back(std::move(entry));
    }
}

std::string TIniFile::GetText() const {
    std::string text;
    for (const TSection& section : FSections) {
        if (!section.Header.empty()) text += section.Header + "\r\n";
        for (const TEntry& entry : section.Entries) text += entry.Line + "\r\n";
    }
    return text;
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const {
    const std::string wanted = Trim(name);
    for (std::size_t i = 1; i < FSections.size(); ++i)
        if (FSections[i].Valid && SameText(FSections[i].Name, wanted)) return &FSections[i];
    return nullptr;
}

TIniFile::TSection* TIniFile::FindSection(std::string_view name) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

const TIniFile::TEntry* TIniFile::FindEntry(const TSection& section, std::string_view key) {
    const std::string wanted = Trim(key);
    for (const TEntry& entry : section.Entries)
        if (entry.IsPair && SameText(entry.Key, wanted)) return &entry;
    return nullptr;
}

bool TIniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    const TSection* found = FindSection(section);
    return found && FindEntry(*found, key);
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 const std::string& defaultValue) const {
    const TSection* found = FindSection(section);
    const TEntry* entry = found ? FindEntry(*found, key) : nullptr;
    return entry ? Unquoted(entry->Value) : defaultValue;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const TSection* found = FindSection(section);
    const TEntry* entry = found ? FindEntry(*found, key) : nullptr;
    int value = 0;
    return entry && ParseInteger(Trim(Unquoted(entry->Value)), value) ? value : defaultValue;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> values;
    const TSection* found = FindSection(section);
    if (!found) return values;
    for (const TEntry& entry : found->Entries) {
        if (!entry.IsPair || FindEntry(*found, entry.Key) != &entry) continue;
        values.emplace_back(entry.Key, Unquoted(entry.Value));
    }
    return values;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> names;
    for (auto& [key, value] : ReadSectionValues(section)) names.push_back(std::move(key));
    return names;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (std::size_t i = 1; i < FSections.size(); ++i)
        if (FSections[i].Valid) names.push_back(FSections[i].Name);
    return names;
}

// --- writing ---

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName = Trim(section), keyName = Trim(key);
    const bool badSection = sectionName.empty() || HasLineBreakOrNul(section);
    const bool badKey = keyName.empty() || HasLineBreakOrNul(key) || key.find('=') != std::string_view::npos ||
                        keyName[0] == '[' || keyName[0] == ';';
    if (badSection || badKey || HasLineBreakOrNul(value)) {
        const std::string_view shown = badSection ? section : badKey ? key : value;
        throw EQBException(FormatMessage(QBResource::SIniInvalidText, std::string(shown.substr(0, 200))));
    }
    TSection* target = FindSection(sectionName);
    if (!target) {
        // A blank line keeps the new section apart from the one before.
        TSection& last = FSections.back();
        if (FSections.size() > 1 && !last.Entries.empty() && !IsBlankText(last.Entries.back().Line))
            last.Entries.push_back(TEntry{});
        TSection created;
        created.Name = sectionName;
        created.Header = "[" + std::string(section) + "]";
        created.Valid = true;
        FSections.push_back(std::move(created));
        target = &FSections.back();
    }
    TEntry entry;
    entry.Key = keyName;
    entry.Value = Trim(value);
    entry.Line = std::string(key) + "=" + std::string(value);
    entry.IsPair = true;
    if (const TEntry* existing = FindEntry(*target, keyName)) {
        target->Entries[existing - target->Entries.data()] = std::move(entry);
        return;
    }
    // New keys go after the last key of the section, before the blank lines that end it.
    auto place = target->Entries.end();
    while (place != target->Entries.begin() && !std::prev(place)->IsPair && IsBlankText(std::prev(place)->Line))
        --place;
    target->Entries.insert(place, std::move(entry));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::EraseSection(std::string_view section) {
    const std::string wanted = Trim(section);
    for (std::size_t i = FSections.size(); i-- > 1;)
        if (FSections[i].Valid && SameText(FSections[i].Name, wanted))
            FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(i));
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    TSection* found = FindSection(section);
    if (!found) return;
    const std::string wanted = Trim(key);
    std::erase_if(found->Entries, [&](const TEntry& e) { return e.IsPair && SameText(e.Key, wanted); });
}

void TIniFile::UpdateFile() const {
    auto fail = [this](const std::string& reason) {
        throw EQBException(FormatMessage(QBResource::SFileWriteError, {FFileName, reason}));
    };
    if (FFileName.empty()) fail(std::strerror(ENOENT));
    fs::path target(FFileName);
    // Writing through a symbolic link replaces the file it points to, not the link.
    std::error_code error;
    if (fs::symlink_status(target, error).type() == fs::file_type::symlink) {
        target = fs::weakly_canonical(target, error);
        if (error) fail(error.message());
    }
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) fail(std::strerror(S_ISDIR(old.st_mode) ? EISDIR : EINVAL));

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) fail(ErrnoText());
    const std::string text = GetText();
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    int savedErrno = written ? 0 : errno;
    // A new file gets the permissions any new file of the user gets; an old one keeps its own.
    mode_t mode = old.st_mode & 07777;
    if (!existed) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (written && (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)) {
        written = false;
        savedErrno = errno;
    }
    if (::close(fd) != 0 && written) {
        written = false;
        savedErrno = errno;
    }
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        savedErrno = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        fail(std::strerror(savedErrno ? savedErrno : EIO));
    }
}
