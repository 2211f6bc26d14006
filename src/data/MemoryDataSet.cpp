// Rows handed out from memory one at a time, like a database cursor would.
#include "data/MemoryDataSet.h"

#include "data/DataError.h"
#include "resources/QBResource.h"

TMemoryDataSet& TMemoryDataSet::AddField(std::string name, TFieldType dataType, long long size) {
    if (Active()) throw EDataError(QBResource::SDataSetOpen);
    FDefs.push_back({std::move(name), dataType, size, {}});
    return *this;
}

TMemoryDataSet& TMemoryDataSet::AppendRow(TDataValues row) {
    if (row.size() != FDefs.size())
        throw EDataError(FormatMessage(QBResource::SDataRowWidth, std::to_string(row.size())));
    FSource.push_back(std::move(row));
    return *this;
}

std::vector<TDataFieldDef> TMemoryDataSet::DoOpen() {
    FNext = 0;
    return FDefs;
}

bool TMemoryDataSet::DoFetch(TDataValues& row) {
    if (FNext >= FSource.size()) return false;
    row = FSource[FNext++];
    return true;
}
