// The storage settings, the control's automatic load and save, how a storage error reaches
// the user, and the diagram file dialog's settings.
#include "control/QBStorage.h"

#include <QStringList>
#include <filesystem>

#include "control/QBStorageRegistry.h"
#include "control/QBWindow.h"
#include "resources/QBResource.h"
#include "toolkit/TextCompare.h"

// --- settings ---

void TQBStorage::Assign(const TQBStorage& source) {
    FIncludeSQL = source.FIncludeSQL;
    FIniFileName = source.FIniFileName;
    FRegistryRoot = source.FRegistryRoot;
    FRegistryPath = source.FRegistryPath;
    FStorageType = source.FStorageType;
}

TQBStorageType TQBStorage::EffectiveType() const {
    if (FStorageType == qstRegistry && !IsBlankText(FRegistryPath)) return qstRegistry;
    if (FStorageType == qstIniFile && !IsBlankText(FIniFileName)) return qstIniFile;
    return qstNone;
}

// --- the control ---

void TCustomQueryBuilder::SetStorage(const TQBStorage& value) { FStorage->Assign(value); }

bool TCustomQueryBuilder::StorageCall(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowError(QString::fromUtf8(FormatMessage(QBResource::SQBParserUnknownError, "0").c_str()));
    }
    return false;
}

void TCustomQueryBuilder::LoadFromStorage() {
    if (FDesigning || !FParser) return;
    const TQBStorage& storage = *FStorage;
    // A store that was never written is the first run, not an error: there is nothing to load.
    switch (storage.EffectiveType()) {
        case qstRegistry: {
            bool exists = false;
            StorageCall([&] {
                const TQBRegistry registry(storage.GetRegistryRoot());
                exists = registry.KeyExists(TQBRegistry::GroupOfKeyPath(storage.GetRegistryPath()));
            });
            if (exists)
                LoadDiagramFromRegistry(storage.GetRegistryRoot(), storage.GetRegistryPath(), storage.GetIncludeSQL());
            break;
        }
        case qstIniFile: {
            std::error_code error;
            if (std::filesystem::exists(storage.GetIniFileName(), error) || error)
                LoadDiagramFromIniFile(storage.GetIniFileName(), storage.GetIncludeSQL());
            break;
        }
        case qstNone:
            break;
    }
}

void TCustomQueryBuilder::SaveToStorage() {
    if (FDesigning || !FParser) return;
    const TQBStorage& storage = *FStorage;
    switch (storage.EffectiveType()) {
        case qstRegistry:
            SaveDiagramToRegistry(storage.GetRegistryRoot(), storage.GetRegistryPath(), storage.GetIncludeSQL());
            break;
        case qstIniFile:
            SaveDiagramToIniFile(storage.GetIniFileName(), storage.GetIncludeSQL());
            break;
        case qstNone:
            break;
    }
}

// --- file dialogs ---

QString QtFileFilter(const char* pairs) {
    const QStringList parts = QString::fromUtf8(pairs).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i];
        const int open = caption.indexOf('(');
        if (open >= 0) caption = caption.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == "*.*") pattern = "*";
        }
        filters << caption + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

TQBFileDialogSettings DiagramFileDialogSettings(bool save) {
    // The suffix in lower case: file names here tell case apart, and the filter lists *.ini.
    return TQBFileDialogSettings{QString::fromUtf8(save ? QBResource::SSaveDiagramTitle : QBResource::SLoadDiagramTitle),
                                 QtFileFilter(QBResource::SDiagramFileFilter),
                                 QString::fromUtf8(QBResource::SDiagramFileExt).toLower()};
}
