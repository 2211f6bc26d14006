// What a table box reads of a data set: whether it is open, its field count and each
// field's name and type code. The host's data sets are adapted to this; TQBFieldList is a
// plain in-memory list for boxes made without a server.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "toolkit/FieldTypes.h"

class IQBFieldSource {
public:
    virtual ~IQBFieldSource() = default;
    virtual bool IsOpen() const = 0;
    // Opens the data set; may throw the data layer's error.
    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual int FieldCount() const = 0;
    virtual std::string FieldName(int index) const = 0;
    virtual TFieldType FieldType(int index) const = 0;
};

// A fixed list of fields, always open.
class TQBFieldList final : public IQBFieldSource {
public:
    TQBFieldList() = default;
    TQBFieldList(std::initializer_list<std::pair<std::string, TFieldType>> fields) : FFields(fields) {}
    void Add(std::string name, TFieldType type) { FFields.emplace_back(std::move(name), type); }

    bool IsOpen() const override { return true; }
    void Open() override {}
    void Close() override {}
    int FieldCount() const override { return static_cast<int>(FFields.size()); }
    std::string FieldName(int index) const override { return FFields.at(index).first; }
    TFieldType FieldType(int index) const override { return FFields.at(index).second; }

private:
    std::vector<std::pair<std::string, TFieldType>> FFields;
};
