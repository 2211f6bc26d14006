// Parameter lists: ordered, owned entries with a name, a data type code, a direction, a value
// and a null flag. The host fills them from the server; the diagram and the control keep copies.
#pragma once

#include "toolkit/FieldTypes.h"
#include "toolkit/Variant.h"

#include <memory>
#include <string>
#include <vector>

class TDataParameter {
public:
    TDataParameter() = default;
    TDataParameter(std::string name, TFieldType dataType, TParamType direction)
        : Name(std::move(name)), DataType(dataType), Direction(direction) {}

    // Copies name, data type, direction, value and null flag from `source`.
    void Assign(const TDataParameter& source) { *this = source; }

    const TVariant& GetValue() const { return FValue; }
    // Sets the value; the null flag follows it (null or unassigned count as null).
    void SetValue(const TVariant& value) {
        FValue = value;
        FIsNull = value.IsNull() || value.IsUnassigned();
    }
    bool GetIsNull() const { return FIsNull; }
    // Raising the flag makes the value null; lowering it leaves the value as it is.
    void SetIsNull(bool value) {
        FIsNull = value;
        if (value) FValue = TVariant::MakeNull();
    }

    std::string Name;
    TFieldType DataType = ftUnknown;
    TParamType Direction = ptUnknown;
    long long Size = 0;

private:
    TVariant FValue;
    bool FIsNull = true;
};

class TDataParameters {
public:
    TDataParameters() = default;
    TDataParameters(const TDataParameters& source) { Assign(source); }
    TDataParameters& operator=(const TDataParameters& source) {
        if (this != &source) Assign(source);
        return *this;
    }

    // Appends an empty entry and returns it.
    TDataParameter& AddParameter();
    // Appends an entry with the given name, type and direction and returns it.
    TDataParameter& Add(std::string name, TFieldType dataType, TParamType direction);
    // Appends a copy of `source` and returns it.
    TDataParameter& AddCopy(const TDataParameter& source);
    // Replaces every entry by a copy of the entries of `source`.
    void Assign(const TDataParameters& source);
    void Clear() { FItems.clear(); }
    // Removes the entry at `index`; throws EDataError when out of range.
    void Delete(int index);

    int Count() const { return static_cast<int>(FItems.size()); }
    // The entry at `index`; throws EDataError when out of range.
    TDataParameter& Items(int index);
    const TDataParameter& Items(int index) const;
    TDataParameter& operator[](int index) { return Items(index); }
    const TDataParameter& operator[](int index) const { return Items(index); }

    // The entry named `name` (letter case ignored), or nullptr.
    TDataParameter* FindParam(const std::string& name);
    // As FindParam, but throws EDataError when there is none.
    TDataParameter& ParamByName(const std::string& name);

private:
    std::vector<std::unique_ptr<TDataParameter>> FItems;
};
