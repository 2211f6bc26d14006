// The diagram in an INI file. The statement is stored in the section "Diagram properties"
// under "SQL", encoded on one line (control characters as #code outside quoted runs, the
// whole in one more pair of quotes, which reading removes). Each box has a section named by
// its key with Left, Top, Height, Width (and Expanded=0 when collapsed); each link a section
// named by its link name with PointX0, PointY0, PointX1, ... in diagram coordinates.
#include <algorithm>
#include <map>
#include <optional>

#include "control/QBStorageDiagram.h"
#include "control/QBWindow.h"
#include "lexer/QBUtils.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/IniFile.h"
#include "toolkit/TextCompare.h"

namespace {

constexpr const char* PropertiesSection = "Diagram properties";
constexpr const char* SqlKey = "SQL";
constexpr char SqlQuote = '"';
constexpr char SqlCodeMark = '#';

class TIniDiagramWriter final : public TQBDiagramWriter {
public:
    TIniDiagramWriter(TIniFile& file, QBStorage::TQBIniCopy use) : FFile(file), FUse(use) {}

    void Statement(const std::string* sql) override {
        FFile.EraseSection(PropertiesSection);
        if (sql) FFile.WriteString(PropertiesSection, SqlKey, EncodeCharCodes(*sql, SqlQuote, SqlCodeMark));
    }

    void Box(const std::string& key, const TQBBoxPlace& place) override {
        Guard([&] {
            FFile.EraseSection(key);
            FFile.WriteInteger(key, "Left", place.Left);
            FFile.WriteInteger(key, "Top", place.Top);
            FFile.WriteInteger(key, "Height", place.Height);
            FFile.WriteInteger(key, "Width", place.Width);
            // Written only for a collapsed box, so files without it read as they always did.
            if (place.Expanded == 0 || FUse == QBStorage::TQBIniCopy::Snapshot)
                FFile.WriteInteger(key, "Expanded", place.Expanded);
        });
    }

    void Link(const std::string& name, const std::vector<TPoint>& points) override {
        Guard([&] {
            FFile.EraseSection(name);
            for (std::size_t i = 0; i < points.size(); ++i) {
                FFile.WriteInteger(name, "PointX" + std::to_string(i), points[i].X);
                FFile.WriteInteger(name, "PointY" + std::to_string(i), points[i].Y);
            }
        });
    }

    void Commit() override {
        if (FUse == QBStorage::TQBIniCopy::File) FFile.UpdateFile();
    }

private:
    // A copy kept in memory skips an object whose name cannot be written; a file save fails.
    template <typename F>
    void Guard(F&& body) {
        if (FUse == QBStorage::TQBIniCopy::File) {
            body();
            return;
        }
        try {
            body();
        } catch (const EQBException&) {
        }
    }

    TIniFile& FFile;
    QBStorage::TQBIniCopy FUse;
};

class TIniDiagramReader final : public TQBDiagramReader {
public:
    explicit TIniDiagramReader(const TIniFile& file) : FFile(file) {}

    std::optional<std::string> Statement() const override {
        if (!FFile.ValueExists(PropertiesSection, SqlKey)) return std::nullopt;
        return DecodeCharCodes(FFile.ReadString(PropertiesSection, SqlKey, {}), SqlQuote, SqlCodeMark);
    }

    TQBBoxPlace Box(const std::string& key) const override {
        TQBBoxPlace place;
        if (!FFile.SectionExists(key)) return place;
        place.Left = FFile.ReadInteger(key, "Left", -1);
        place.Top = FFile.ReadInteger(key, "Top", -1);
        place.Height = FFile.ReadInteger(key, "Height", -1);
        place.Width = FFile.ReadInteger(key, "Width", -1);
        place.Expanded = std::max(-1, FFile.ReadInteger(key, "Expanded", -1));
        return place;
    }

    // A point is recorded for every index n with both PointXn and PointYn holding numbers of
    // 0 or more; other keys are ignored.
    std::vector<TPoint> Link(const std::string& name) const override {
        std::map<int, int> xs, ys;
        for (const auto& [key, value] : FFile.ReadSectionValues(name)) {
            int n = QBStorage::NumberedName(key, "PointX");
            const bool isX = n >= 0;
            if (!isX) n = QBStorage::NumberedName(key, "PointY");
            int coordinate = -1;
            if (n < 0 || !ParseCoordinate(value, coordinate)) continue;
            (isX ? xs : ys).emplace(n, coordinate);
        }
        std::vector<TPoint> points;
        for (const auto& [n, x] : xs) {
            const auto y = ys.find(n);
            if (y != ys.end()) points.push_back(TPoint{x, y->second});
        }
        return points;
    }

private:
    // A decimal number of 0 or more that fits 32 bits.
    static bool ParseCoordinate(const std::string& text, int& value) {
        const std::string t = Trim(text);
        if (t.empty() || t.size() > 10) return false;
        long long v = 0;
        for (const char c : t) {
            if (c < '0' || c > '9') return false;
            v = v * 10 + (c - '0');
        }
        if (v > 2147483647LL) return false;
        value = static_cast<int>(v);
        return true;
    }

    const TIniFile& FFile;
};

// Reads FileName whole before anything changes; a missing file is an error.
TIniFile ReadExistingFile(const std::string& fileName) {
    TIniFile file(fileName);
    if (!file.Exists()) throw EQBException(FormatMessage(QBResource::SDiagramFileMissing, fileName));
    return file;
}

}  // namespace

namespace QBStorage {

std::unique_ptr<TQBDiagramWriter> MakeIniWriter(TIniFile& file, TQBIniCopy use) {
    return std::make_unique<TIniDiagramWriter>(file, use);
}

std::unique_ptr<TQBDiagramReader> MakeIniReader(const TIniFile& file) {
    return std::make_unique<TIniDiagramReader>(file);
}

}  // namespace QBStorage

bool TCustomQueryBuilder::SaveDiagramToIniFile(const std::string& fileName, bool includeSQL) {
    return StorageCall([&] {
        TIniFile file(fileName);
        const auto writer = QBStorage::MakeIniWriter(file, QBStorage::TQBIniCopy::File);
        QBStorage::WriteDiagram(*this, *writer, includeSQL);
    });
}

bool TCustomQueryBuilder::LoadDiagramFromIniFile(const std::string& fileName, bool includeSQL) {
    return StorageCall([&] {
        const TIniFile file = ReadExistingFile(fileName);
        QBStorage::ReadDiagram(*this, *QBStorage::MakeIniReader(file), includeSQL);
    });
}
