// Where the control keeps its diagram between runs: TQBStorage holds the settings by which
// the control loads its diagram when it has been loaded and saves it when it is destroyed,
// in an INI file or under a key of the current user's registry. Also what a host needs for
// its own diagram file commands: the file dialog's title, filter and default suffix.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "diagram/QBTypes.h"

class TQBStorage final {
public:
    // The current user's hive, the only registry root there is here.
    static constexpr std::uint32_t CurrentUserRoot = 0x80000001u;

    bool GetIncludeSQL() const { return FIncludeSQL; }
    void SetIncludeSQL(bool value) { FIncludeSQL = value; }
    const std::string& GetIniFileName() const { return FIniFileName; }
    void SetIniFileName(const std::string& value) { FIniFileName = value; }
    std::uint32_t GetRegistryRoot() const { return FRegistryRoot; }
    void SetRegistryRoot(std::uint32_t value) { FRegistryRoot = value; }
    const std::string& GetRegistryPath() const { return FRegistryPath; }
    void SetRegistryPath(const std::string& value) { FRegistryPath = value; }
    TQBStorageType GetStorageType() const { return FStorageType; }
    void SetStorageType(TQBStorageType value) { FStorageType = value; }

    // Copies all five settings.
    void Assign(const TQBStorage& source);

    // The store the automatic load and save use: the registry with a non-blank path, an INI
    // file with a non-blank name, or none.
    TQBStorageType EffectiveType() const;

private:
    bool FIncludeSQL = true;
    std::string FIniFileName;
    std::uint32_t FRegistryRoot = CurrentUserRoot;
    std::string FRegistryPath;
    TQBStorageType FStorageType = qstNone;
};

// What a file dialog for diagram files is given: title, Qt name filter, default suffix.
struct TQBFileDialogSettings {
    QString Title;
    QString Filter;
    QString DefaultSuffix;
};

// The settings of the dialog that loads (Save false) or saves (Save true) a diagram file.
TQBFileDialogSettings DiagramFileDialogSettings(bool save);

// A filter of caption and pattern pairs separated by '|' ("SQL Files (*.sql)|*.sql|...") as
// Qt's name filter ("SQL Files (*.sql);;..."). The patterns after each caption decide what is
// listed; "*.*" becomes "*" so that files without an extension are listed too.
QString QtFileFilter(const char* pairs);
