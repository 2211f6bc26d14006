// Navigation over the rows read so far, reading further rows from the source only when a move
// needs them.
#include "data/DataSet.h"

#include "data/DataError.h"
#include "resources/QBResource.h"

#include <algorithm>

namespace {

bool SameTextAscii(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::string TDataField::AsString() const { return FDataSet->ValueAsString(FIndex); }

bool TDataField::IsNull() const { return FDataSet->ValueIsNull(FIndex); }

void TDataSet::Open() {
    if (FActive) return;
    auto defs = DoOpen();
    FFields.clear();
    FRows.clear();
    for (std::size_t i = 0; i < defs.size(); ++i)
        FFields.push_back(std::make_unique<TDataField>(this, static_cast<int>(i), std::move(defs[i])));
    FActive = true;
    FAllRead = false;
    FCurrent = 0;
    try {
        FetchOne();
    } catch (...) {
        Close();
        throw;
    }
    FBof = true;
    FEof = FRows.empty();
}

void TDataSet::Close() {
    if (!FActive) return;
    DoClose();
    FActive = false;
    FAllRead = false;
    FFields.clear();
    FRows.clear();
    FRows.shrink_to_fit();
    FCurrent = 0;
    FBof = FEof = true;
}

const TDataField& TDataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw EDataError(FormatMessage(QBResource::SDataFieldIndex, std::to_string(index)));
    return *FFields[static_cast<std::size_t>(index)];
}

const TDataField* TDataSet::FindField(const std::string& name) const {
    for (const auto& field : FFields)
        if (SameTextAscii(field->FieldName(), name)) return field.get();
    return nullptr;
}

void TDataSet::CheckActive() const {
    if (!FActive) throw EDataError(QBResource::SDataSetClosed);
}

bool TDataSet::FetchOne() {
    if (FAllRead) return false;
    TDataRow row(FFields.size());
    if (!DoFetch(row)) {
        FAllRead = true;
        return false;
    }
    FRows.push_back(std::move(row));
    return true;
}

std::size_t TDataSet::FetchMore(std::size_t count) {
    CheckActive();
    std::size_t read = 0;
    while (read < count && FetchOne()) ++read;
    return read;
}

const TDataRow& TDataSet::Row(std::size_t index) const {
    if (index >= FRows.size())
        throw EDataError(FormatMessage(QBResource::SDataRowIndex, std::to_string(index)));
    return FRows[index];
}

void TDataSet::First() {
    CheckActive();
    FCurrent = 0;
    FBof = true;
    FEof = FRows.empty();
}

void TDataSet::Prior() {
    CheckActive();
    if (FCurrent > 0) {
        --FCurrent;
        FEof = false;
        FBof = false;
    } else {
        FBof = true;
    }
}

void TDataSet::Next() {
    CheckActive();
    if (FRows.empty()) return;
    if (FCurrent + 1 < FRows.size() || FetchOne()) {
        ++FCurrent;
        FBof = false;
        FEof = false;
    } else {
        FEof = true;
    }
}

void TDataSet::Last() {
    CheckActive();
    while (FetchOne()) {
    }
    FEof = true;
    if (FRows.empty()) return;
    FBof = FRows.size() == 1;
    FCurrent = FRows.size() - 1;
}

void TDataSet::Refresh() {
    CheckActive();
    const std::size_t keep = FCurrent;
    Close();
    Open();
    while (FRows.size() <= keep && FetchOne()) {
    }
    FCurrent = FRows.empty() ? 0 : std::min(keep, FRows.size() - 1);
    FBof = FCurrent == 0;
    FEof = FRows.empty();
}

std::string TDataSet::ValueAsString(int field) const {
    const auto& f = Fields(field);
    if (FRows.empty()) return {};
    return FRows[FCurrent][static_cast<std::size_t>(f.Index())].Text;
}

bool TDataSet::ValueIsNull(int field) const {
    const auto& f = Fields(field);
    if (FRows.empty()) return true;
    return FRows[FCurrent][static_cast<std::size_t>(f.Index())].Null;
}
