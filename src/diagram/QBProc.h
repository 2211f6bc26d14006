// Stored-procedure boxes: a table source that takes arguments (a stored procedure or a
// table-valued function) is a table box whose column lines are followed by one line per input
// or input/output parameter. A parameter line's picture tells whether a value was entered; the
// value itself travels on the line and into the model's parameter of the box's table source.
#pragma once

#include <string>

#include "data/DataParameters.h"
#include "diagram/QBFloatTable.h"

class TQBStoredProc final : public TQBTable {
public:
    // Creates the box for ProcName: the columns of DataSet (may be null), then a line for each
    // input and input/output parameter of Params (may be null) carrying its value.
    TQBStoredProc(TQBWorkArea* workArea, const TDataParameters* params, std::string procName, TDataSet* dataSet);

    bool IsStoredProc() const override { return true; }
    TColor GetClientColor() const override;
    // The box's own copy of the parameters it was created with.
    const TDataParameters& Params() const { return FParams; }

private:
    TDataParameters FParams;
};
