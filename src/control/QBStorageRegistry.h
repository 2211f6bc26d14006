// The current user's registry, kept by QSettings in its native format under the user's
// configuration folder ($XDG_CONFIG_HOME/Korvel/HKEY_CURRENT_USER.conf). A key path such as
// Software\Korvel\Diagram becomes the group path Software/Korvel/Diagram. Every path is
// checked so that it names one group and nothing outside it: a deletion below a key can never
// reach beyond that key. Changes are collected in memory and written by Commit, at once and
// atomically (QSettings writes a new file and renames it).
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>

class QSettings;

class TQBRegistry final {
public:
    // Opens the hive Root; only the current user's hive exists here, any other root raises
    // EQBException. The file is not read from the system-wide fallbacks.
    explicit TQBRegistry(std::uint32_t root);
    ~TQBRegistry();
    TQBRegistry(const TQBRegistry&) = delete;
    TQBRegistry& operator=(const TQBRegistry&) = delete;

    // The group of a key path whose components are separated by '\'. Raises EQBException
    // for a blank path and for a component that is empty, "." or "..", longer than 255
    // bytes, or holds '/' or a control character (NUL included).
    static QString GroupOfKeyPath(const std::string& keyPath);
    // Name (a table key, a link name: any text) as one component: '%', '/', '\' and control
    // characters are written %XX, and the names "." and ".." have their points written so.
    static QString KeyName(const std::string& name);

    // False when the hive's file exists but could not be read.
    bool Readable() const;
    bool KeyExists(const QString& group) const;
    // The names of the keys directly below Group.
    QStringList SubKeys(const QString& group) const;
    // False when the value is missing or not a 32-bit integer.
    bool ReadInteger(const QString& group, const QString& name, int& value) const;
    // The bytes of a raw value (a text value gives its UTF-8 bytes); false when missing or
    // of another kind.
    bool ReadBytes(const QString& group, const QString& name, std::string& value) const;

    // Removes Group with everything below it.
    void DeleteKey(const QString& group);
    void WriteInteger(const QString& group, const QString& name, int value);
    void WriteBytes(const QString& group, const QString& name, const std::string& value);
    // Writes the changes to disk; raises EQBException naming KeyPath when that fails.
    void Commit(const std::string& keyPath);

private:
    std::unique_ptr<QSettings> FSettings;
};
