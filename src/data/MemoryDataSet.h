// A data set over fields and rows held in memory: what a caller builds when it needs a data set
// without a database (column lists made by hand, tests of the diagram and the editors).
#pragma once

#include "data/DataSet.h"

class TMemoryDataSet final : public TDataSet {
public:
    // Adds a field; only while closed. Returns the data set for chaining.
    TMemoryDataSet& AddField(std::string name, TFieldType dataType, long long size = 0);
    // Appends a row of values (TDataValue{"", true} for null);
    // the row must have one value per field. Throws EDataError otherwise.
    TMemoryDataSet& AppendRow(TDataValues row);

protected:
    std::vector<TDataFieldDef> DoOpen() override;
    bool DoFetch(TDataValues& row) override;
    void DoClose() noexcept override {}

private:
    std::vector<TDataFieldDef> FDefs;
    std::vector<TDataValues> FSource;
    std::size_t FNext = 0;
};
