// The per-user registry on QSettings, and the diagram stored under a registry key: the
// statement as the raw bytes of the value "SQL" of the key itself, each box's geometry under
// Tables\<key>, each link's points under Links\<link name>\Point<index>.
#include "control/QBStorageRegistry.h"

#include <QSettings>
#include <map>

#include "control/QBStorage.h"
#include "control/QBStorageDiagram.h"
#include "control/QBWindow.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

constexpr int MaxKeyNameLength = 255;

bool IsControlByte(unsigned char c) { return c < 32 || c == 127; }

bool IsValidUtf8(const std::string& text) { return QString::fromUtf8(text).toUtf8() == QByteArray::fromStdString(text); }

void AppendEscaped(std::string& out, unsigned char c) {
    static const char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 15];
}

}  // namespace

// --- the store ---

TQBRegistry::TQBRegistry(std::uint32_t root) {
    if (root != TQBStorage::CurrentUserRoot) {
        const QString shown = QString::number(root, 16).toUpper();
        throw EQBException(FormatMessage(QBResource::SRegistryUnsupportedRoot, shown.toStdString()));
    }
    FSettings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Korvel",
                                            "HKEY_CURRENT_USER");
    FSettings->setFallbacksEnabled(false);
}

TQBRegistry::~TQBRegistry() = default;

QString TQBRegistry::GroupOfKeyPath(const std::string& keyPath) {
    auto refuse = [&keyPath] {
        throw EQBException(FormatMessage(QBResource::SRegistryInvalidPath, keyPath.substr(0, 300)));
    };
    if (IsBlankText(keyPath)) refuse();
    QStringList components;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = keyPath.find('\\', start);
        const std::string component = keyPath.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (component.empty() || component == "." || component == ".." ||
            component.size() > MaxKeyNameLength || component.find('/') != std::string::npos ||
            !IsValidUtf8(component))
            refuse();
        for (const unsigned char c : component)
            if (IsControlByte(c)) refuse();
        components << QString::fromStdString(component);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return components.join('/');
}

QString TQBRegistry::KeyName(const std::string& name) {
    const bool utf8 = IsValidUtf8(name);
    std::string out;
    for (const unsigned char c : name) {
        if (c == '%' || c == '/' || c == '\\' || IsControlByte(c) || (c >= 128 && !utf8))
            AppendEscaped(out, c);
        else
            out += static_cast<char>(c);
    }
    // A lone '%' cannot come out of the escaping above, so the empty name cannot clash.
    if (out.empty()) out = "%";
    if (out == ".") out = "%2E";
    if (out == "..") out = "%2E%2E";
    return QString::fromStdString(out);
}

bool TQBRegistry::Readable() const { return FSettings->status() != QSettings::AccessError; }

bool TQBRegistry::KeyExists(const QString& group) const {
    FSettings->beginGroup(group);
    const bool exists = !FSettings->childKeys().isEmpty() || !FSettings->childGroups().isEmpty();
    FSettings->endGroup();
    return exists;
}

QStringList TQBRegistry::SubKeys(const QString& group) const {
    FSettings->beginGroup(group);
    const QStringList keys = FSettings->childGroups();
    FSettings->endGroup();
    return keys;
}

bool TQBRegistry::ReadInteger(const QString& group, const QString& name, int& value) const {
    const QVariant stored = FSettings->value(group + '/' + name);
    if (!stored.isValid()) return false;
    const int type = stored.typeId();
    if (type != QMetaType::QString && type != QMetaType::QByteArray && type != QMetaType::Int &&
        type != QMetaType::LongLong)
        return false;
    bool ok = false;
    const int read = stored.toString().trimmed().toInt(&ok);
    if (ok) value = read;
    return ok;
}

bool TQBRegistry::ReadBytes(const QString& group, const QString& name, std::string& value) const {
    const QVariant stored = FSettings->value(group + '/' + name);
    if (stored.typeId() == QMetaType::QByteArray) {
        value = stored.toByteArray().toStdString();
        return true;
    }
    if (stored.typeId() == QMetaType::QString) {
        value = stored.toString().toStdString();
        return true;
    }
    return false;
}

void TQBRegistry::DeleteKey(const QString& group) {
    // An empty group would be the whole hive.
    if (!group.isEmpty()) FSettings->remove(group);
}

void TQBRegistry::WriteInteger(const QString& group, const QString& name, int value) {
    FSettings->setValue(group + '/' + name, value);
}

void TQBRegistry::WriteBytes(const QString& group, const QString& name, const std::string& value) {
    FSettings->setValue(group + '/' + name, QByteArray::fromStdString(value));
}

void TQBRegistry::Commit(const std::string& keyPath) {
    FSettings->sync();
    if (FSettings->status() != QSettings::NoError)
        throw EQBException(FormatMessage(QBResource::SRegistryWriteError, keyPath));
}

// --- the diagram under a key ---

namespace {

// Collects the whole diagram first and changes the store only in Commit, so that nothing
// is deleted unless everything is written in the same step.
class TRegistryDiagramWriter final : public TQBDiagramWriter {
public:
    TRegistryDiagramWriter(TQBRegistry& registry, QString group, std::string keyPath)
        : FRegistry(registry), FGroup(std::move(group)), FKeyPath(std::move(keyPath)) {}

    void Statement(const std::string* sql) override {
        if (sql) FSql = *sql;
    }
    void Box(const std::string& key, const TQBBoxPlace& place) override { FBoxes.emplace_back(key, place); }
    void Link(const std::string& name, const std::vector<TPoint>& points) override {
        FLinks.emplace_back(name, points);
    }

    void Commit() override {
        FRegistry.DeleteKey(FGroup);
        if (FSql) FRegistry.WriteBytes(FGroup, "SQL", *FSql);
        for (const auto& [key, place] : FBoxes) {
            const QString box = FGroup + "/Tables/" + TQBRegistry::KeyName(key);
            FRegistry.WriteInteger(box, "Left", place.Left);
            FRegistry.WriteInteger(box, "Top", place.Top);
            FRegistry.WriteInteger(box, "Height", place.Height);
            FRegistry.WriteInteger(box, "Width", place.Width);
            // Written only for a collapsed box, so keys without it read as they always did.
            if (place.Expanded == 0) FRegistry.WriteInteger(box, "Expanded", 0);
        }
        for (const auto& [name, points] : FLinks) {
            const QString link = FGroup + "/Links/" + TQBRegistry::KeyName(name);
            for (std::size_t i = 0; i < points.size(); ++i) {
                const QString point = link + "/Point" + QString::number(i);
                FRegistry.WriteInteger(point, "PointX", points[i].X);
                FRegistry.WriteInteger(point, "PointY", points[i].Y);
            }
        }
        FRegistry.Commit(FKeyPath);
    }

private:
    TQBRegistry& FRegistry;
    QString FGroup;
    std::string FKeyPath;
    std::optional<std::string> FSql;
    std::vector<std::pair<std::string, TQBBoxPlace>> FBoxes;
    std::vector<std::pair<std::string, std::vector<TPoint>>> FLinks;
};

class TRegistryDiagramReader final : public TQBDiagramReader {
public:
    TRegistryDiagramReader(const TQBRegistry& registry, QString group)
        : FRegistry(registry), FGroup(std::move(group)) {}

    std::optional<std::string> Statement() const override {
        std::string sql;
        if (!FRegistry.ReadBytes(FGroup, "SQL", sql)) return std::nullopt;
        return sql;
    }

    // Each value on its own: a missing or unreadable one is skipped.
    TQBBoxPlace Box(const std::string& key) const override {
        TQBBoxPlace place;
        const QString box = FGroup + "/Tables/" + TQBRegistry::KeyName(key);
        if (!FRegistry.KeyExists(box)) return place;
        FRegistry.ReadInteger(box, "Left", place.Left);
        FRegistry.ReadInteger(box, "Top", place.Top);
        FRegistry.ReadInteger(box, "Height", place.Height);
        FRegistry.ReadInteger(box, "Width", place.Width);
        int expanded = -1;
        if (FRegistry.ReadInteger(box, "Expanded", expanded) && expanded >= 0) place.Expanded = expanded;
        return place;
    }

    // One point for every subkey Point<n> that holds both PointX and PointY.
    std::vector<TPoint> Link(const std::string& name) const override {
        const QString link = FGroup + "/Links/" + TQBRegistry::KeyName(name);
        std::map<int, TPoint> recorded;
        for (const QString& sub : FRegistry.SubKeys(link)) {
            const int n = QBStorage::NumberedName(sub.toStdString(), "Point");
            TPoint p;
            if (n < 0 || !FRegistry.ReadInteger(link + '/' + sub, "PointX", p.X) ||
                !FRegistry.ReadInteger(link + '/' + sub, "PointY", p.Y))
                continue;
            recorded.emplace(n, p);
        }
        std::vector<TPoint> points;
        for (const auto& [n, p] : recorded) points.push_back(p);
        return points;
    }

private:
    const TQBRegistry& FRegistry;
    QString FGroup;
};

}  // namespace

bool TCustomQueryBuilder::SaveDiagramToRegistry(std::uint32_t root, const std::string& path, bool includeSQL) {
    return StorageCall([&] {
        TQBRegistry registry(root);
        TRegistryDiagramWriter writer(registry, TQBRegistry::GroupOfKeyPath(path), path);
        QBStorage::WriteDiagram(*this, writer, includeSQL);
    });
}

bool TCustomQueryBuilder::LoadDiagramFromRegistry(std::uint32_t root, const std::string& path, bool includeSQL) {
    return StorageCall([&] {
        const TQBRegistry registry(root);
        const QString group = TQBRegistry::GroupOfKeyPath(path);
        if (!registry.Readable()) throw EQBException(FormatMessage(QBResource::SRegistryReadError, path));
        if (!registry.KeyExists(group)) throw EQBException(FormatMessage(QBResource::SRegistryKeyMissing, path));
        QBStorage::ReadDiagram(*this, TRegistryDiagramReader(registry, group), includeSQL);
    });
}
