// Table functions as table sources: parameter discovery, argument lists and adding the box.
#include "control/QBTableFunctions.h"

#include "control/QBTableList.h"
#include "control/QBWindow.h"
#include "data/DataParameters.h"
#include "data/DataQuery.h"
#include "data/DataStoredProc.h"
#include "diagram/QBFloatTable.h"
#include "lexer/QBScanner.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"

namespace {

bool IsInputDirection(TParamType type) { return type == ptInput || type == ptInputOutput; }

}  // namespace

TQBSourceCatalog ConnectionCatalog(TDataConnection& connection, TDataQuery& query) {
    TQBSourceCatalog catalog;
    catalog.ReadParameters = [&connection](const std::string& quotedName, TDataParameters& list) {
        list.Clear();
        TDataStoredProc proc(&connection);
        proc.SetProcedureName(quotedName);
        proc.RefreshParameters();
        const TDataParameters& found = proc.Parameters();
        for (int i = 0; i < found.Count(); ++i) {
            const TDataParameter& param = found.Items(i);
            if (IsInputDirection(param.Direction)) list.Add(param.Name, param.DataType, param.Direction);
        }
    };
    catalog.OpenQuery = [&query](const std::string& sql) -> TDataSet* {
        query.Close();
        query.SetSQL(sql);
        query.Open();
        return &query;
    };
    return catalog;
}

std::string ArgumentList(const TDataParameters* params) {
    if (!params) return {};
    std::string list = "(";
    for (int i = 0; i < params->Count(); ++i) list += i == 0 ? "NULL" : ", NULL";
    return list + ")";
}

std::string ColumnsQuery(const std::string& queryName) { return "SELECT * FROM " + queryName + " WHERE 0 = 1"; }

TQBTable* AddTableFunction(TCustomQueryBuilder& control, const TQBSourceCatalog& catalog,
                           const std::string& queryName, const std::string& objectName, TPoint drop) {
    TDataParameters params;
    if (catalog.ReadParameters) catalog.ReadParameters(queryName, params);
    TDataSet* columns = catalog.OpenQuery ? catalog.OpenQuery(ColumnsQuery(queryName + ArgumentList(&params)))
                                          : nullptr;
    TQBTable* box = control.Tables().AddProc(objectName, std::string(), params, columns);
    if (box && drop.X != 0 && drop.Y != 0) {
        box->SetLeft(drop.X);
        box->SetTop(drop.Y);
    }
    return box;
}

void GetTableSourceFields(const TCustomQueryBuilder& control, const TQBSourceCatalog& catalog,
                          TDataParameters& params, const std::string& nameOfTable, TDataSet*& dataSet,
                          TDataParameters*& paramsOut) {
    const TQBSelectParser* parser = control.Parser();
    std::string queryName = parser ? parser->GetScanner()->QuoteName(nameOfTable) : nameOfTable;
    const TQBTableDef* def = parser ? parser->GetTableDefs()->FindByTableName(nameOfTable) : nullptr;
    if (def && def->IsProcedure) {
        if (catalog.ReadParameters) catalog.ReadParameters(queryName, params);
        queryName += ArgumentList(&params);
        paramsOut = &params;
    }
    if (catalog.OpenQuery) dataSet = catalog.OpenQuery(ColumnsQuery(queryName));
}
