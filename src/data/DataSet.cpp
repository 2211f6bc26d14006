// Navigation over the rows read so far, reading further rows from the source only when a move
// needs them.
#include "data/DataSet.h"

#include "data/DataError.h"
#include "resources/QBResource.h"

#include <algorithm>
#include <cstring>

namespace {

bool SameTextAscii(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

namespace {

constexpr std::uint32_t NullBit = 0x80000000u;

}  // namespace

TDataRow::TDataRow(const TDataValues& values) {
    std::size_t textSize = 0;
    for (const auto& value : values) textSize += value.Null ? 0 : value.Text.size();
    if (textSize >= NullBit) throw EDataError(FormatMessage(QBResource::SDataRowTooLong, std::to_string(textSize)));
    const std::size_t header = (values.size() + 1) * sizeof(std::uint32_t);
    FData = std::make_unique<char[]>(header + textSize);
    const auto count = static_cast<std::uint32_t>(values.size());
    std::memcpy(FData.get(), &count, sizeof count);
    std::uint32_t end = 0;
    char* text = FData.get() + header;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].Null) {
            std::memcpy(text + end, values[i].Text.data(), values[i].Text.size());
            end += static_cast<std::uint32_t>(values[i].Text.size());
        }
        const std::uint32_t word = end | (values[i].Null ? NullBit : 0u);
        std::memcpy(FData.get() + (i + 1) * sizeof word, &word, sizeof word);
    }
}

TDataRow::TDataRow(const TDataRow& other) {
    if (!other.FData) return;
    const std::size_t size = other.ByteSize();
    FData = std::make_unique<char[]>(size);
    std::memcpy(FData.get(), other.FData.get(), size);
}

TDataRow& TDataRow::operator=(const TDataRow& other) {
    if (this != &other) *this = TDataRow(other);
    return *this;
}

std::uint32_t TDataRow::Word(std::size_t index) const {
    std::uint32_t word = 0;
    std::memcpy(&word, FData.get() + index * sizeof word, sizeof word);
    return word;
}

std::size_t TDataRow::Count() const { return FData ? Word(0) : 0; }

std::size_t TDataRow::ByteSize() const {
    const std::size_t count = Count();
    const std::size_t textSize = count == 0 ? 0 : (Word(count) & ~NullBit);
    return (count + 1) * sizeof(std::uint32_t) + textSize;
}

std::string_view TDataRow::Text(std::size_t index) const {
    const std::size_t count = Count();
    if (index >= count) throw EDataError(FormatMessage(QBResource::SDataFieldIndex, std::to_string(index)));
    const std::uint32_t start = index == 0 ? 0 : (Word(index) & ~NullBit);
    const std::uint32_t end = Word(index + 1) & ~NullBit;
    return {FData.get() + (count + 1) * sizeof(std::uint32_t) + start, end - start};
}

bool TDataRow::IsNull(std::size_t index) const {
    if (index >= Count()) throw EDataError(FormatMessage(QBResource::SDataFieldIndex, std::to_string(index)));
    return (Word(index + 1) & NullBit) != 0;
}

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
    FScratch.clear();
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
    FScratch.resize(FFields.size());
    if (!DoFetch(FScratch)) {
        FAllRead = true;
        return false;
    }
    FRows.emplace_back(FScratch);
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
    return std::string(FRows[FCurrent].Text(static_cast<std::size_t>(f.Index())));
}

bool TDataSet::ValueIsNull(int field) const {
    const auto& f = Fields(field);
    if (FRows.empty()) return true;
    return FRows[FCurrent].IsNull(static_cast<std::size_t>(f.Index()));
}
