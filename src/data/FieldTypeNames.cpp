// Name tables in the order of the codes.
#include "data/FieldTypeNames.h"

namespace {

constexpr const char* FieldTypeIdentifiers[FieldTypeCount] = {
    "ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean", "ftFloat", "ftCurrency",
    "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes", "ftAutoInc", "ftBlob", "ftMemo",
    "ftGraphic", "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor", "ftFixedChar",
    "ftWideString", "ftLargeint", "ftADT", "ftArray", "ftReference", "ftDataSet", "ftOraBlob", "ftOraClob",
    "ftVariant", "ftInterface", "ftIDispatch", "ftGuid", "ftTimeStamp", "ftFMTBcd"};

constexpr const char* ParamTypeIdentifiers[] = {"ptUnknown", "ptInput", "ptOutput", "ptInputOutput",
                                                "ptResult"};

}  // namespace

const char* FieldTypeIdentifier(int dataType) {
    return dataType >= 0 && dataType < FieldTypeCount ? FieldTypeIdentifiers[dataType] : FieldTypeIdentifiers[0];
}

const char* ParamTypeIdentifier(int direction) {
    return direction >= 0 && direction <= ptResult ? ParamTypeIdentifiers[direction] : ParamTypeIdentifiers[0];
}
