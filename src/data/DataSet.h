// The data set every query hands to the host and the diagram: an ordered list of fields
// (name and field data type code) and rows read in order, each value as text, with the record
// navigation of a preview grid. Rows are fetched from the source on demand and kept once read,
// so memory grows with the rows read, not with the rows the source holds.
#pragma once

#include "toolkit/FieldTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TDataSet;

// One value of a row: its text, or null.
struct TDataValue {
    std::string Text;
    bool Null = true;
};
// The values of one row while it is read from the source (reused from row to row).
using TDataValues = std::vector<TDataValue>;

// One row once read, packed into a single allocation: the count, the end offset of each value
// (top bit: null) and then the texts one after another. A million rows of a few short columns
// then cost about a hundred bytes each instead of a string object per value.
class TDataRow {
public:
    TDataRow() = default;
    explicit TDataRow(const TDataValues& values);
    TDataRow(const TDataRow& other);
    TDataRow& operator=(const TDataRow& other);
    TDataRow(TDataRow&&) noexcept = default;
    TDataRow& operator=(TDataRow&&) noexcept = default;

    std::size_t Count() const;
    // The value's text (empty for null); throws EDataError when `index` is out of range.
    std::string_view Text(std::size_t index) const;
    bool IsNull(std::size_t index) const;

private:
    std::uint32_t Word(std::size_t index) const;
    std::size_t ByteSize() const;

    std::unique_ptr<char[]> FData;
};

// The description of one field, as the source reported it.
struct TDataFieldDef {
    std::string FieldName;
    TFieldType DataType = ftUnknown;
    long long Size = 0;
    std::string TypeName;  // the source's own type name, when it gives one
};

// One field of an open data set; its value is that of the current record.
class TDataField {
public:
    TDataField(const TDataSet* dataSet, int index, TDataFieldDef def)
        : FDataSet(dataSet), FIndex(index), FDef(std::move(def)) {}

    const std::string& FieldName() const { return FDef.FieldName; }
    TFieldType DataType() const { return FDef.DataType; }
    long long Size() const { return FDef.Size; }
    const std::string& TypeName() const { return FDef.TypeName; }
    int Index() const { return FIndex; }

    // The current record's value as text; empty for null or when there is no current record.
    std::string AsString() const;
    // True when the current record's value is null or there is no current record.
    bool IsNull() const;

private:
    const TDataSet* FDataSet;  // not owned: the data set owns its fields
    int FIndex;
    TDataFieldDef FDef;
};

class TDataSet {
public:
    TDataSet() = default;
    virtual ~TDataSet() = default;
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    // Opens the data set (a no-op when open) and positions it on the first record.
    // Throws EDataError when the source fails.
    void Open();
    // Closes it and forgets fields and rows read; a no-op when closed.
    void Close();
    bool Active() const { return FActive; }

    int FieldCount() const { return static_cast<int>(FFields.size()); }
    // The field at `index`; throws EDataError when out of range.
    const TDataField& Fields(int index) const;
    // The field named `name` (letter case ignored), or nullptr.
    const TDataField* FindField(const std::string& name) const;

    // Record navigation; each throws EDataError when the data set is closed.
    void First();
    void Prior();
    void Next();
    void Last();
    // Reads the source again and keeps the record number where the rows still reach it.
    void Refresh();

    bool Bof() const { return FBof; }
    bool Eof() const { return FEof; }
    bool IsEmpty() const { return FRows.empty(); }
    // 1-based number of the current record; 0 when there is none.
    int RecNo() const { return FRows.empty() ? 0 : static_cast<int>(FCurrent) + 1; }

    // Rows read so far, for grids that load as they scroll.
    std::size_t RecordsRead() const { return FRows.size(); }
    bool AllRead() const { return FAllRead; }
    // Reads up to `count` more rows; returns how many were read.
    std::size_t FetchMore(std::size_t count);
    // A row already read; throws EDataError when out of range.
    const TDataRow& Row(std::size_t index) const;

    // Value of field `field` in the current record (see TDataField).
    std::string ValueAsString(int field) const;
    bool ValueIsNull(int field) const;

protected:
    // Starts reading the source and describes its fields. Throws EDataError on failure.
    virtual std::vector<TDataFieldDef> DoOpen() = 0;
    // Reads the next row into `values` (already sized to the field count); false at the end.
    virtual bool DoFetch(TDataValues& values) = 0;
    // Releases what DoOpen acquired; must not throw.
    virtual void DoClose() noexcept = 0;

    void CheckActive() const;

private:
    bool FetchOne();

    bool FActive = false;
    bool FAllRead = false;
    bool FBof = true;
    bool FEof = true;
    std::size_t FCurrent = 0;
    std::vector<std::unique_ptr<TDataField>> FFields;
    std::vector<TDataRow> FRows;
    TDataValues FScratch;
};
