// korvel-sql model: parses a statement and prints the query model as JSON (tables with their
// fields, joins, criterion trees, GROUP BY and ORDER BY items, DISTINCT and TOP). The schema
// is documented in the README.
#include "CliCommand.h"

#include "data/FieldTypeNames.h"
#include "model/QBCriteria.h"
#include "model/QBJoinDefs.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"
#include "parser/QBMSParser.h"
#include "korvel-sql/StatementFormat.h"

#include <iostream>
#include <sstream>

namespace {

const char* const KindNames[] = {"fkUnknown", "fkFunction", "fkField",      "fkInteger",
                                 "fkFloat",   "fkString",   "fkExpression", "fkParameter"};
const char* const GroupKindNames[] = {"All", "Any", "None", "NotAll", "Not"};
const char* const JoinTypeNames[] = {"inner", "left", "right", "full"};

template <std::size_t N>
const char* NameOf(const char* const (&Names)[N], unsigned Value) {
    return Value < N ? Names[Value] : "unknown";
}

// A JSON string literal of UTF-8 text.
std::string Quote(const std::string& Text) {
    std::string out = "\"";
    for (const unsigned char c : Text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string Bool(bool Value) { return Value ? "true" : "false"; }

std::string ValueJson(const TVariant& Value) {
    if (Value.IsUnassigned()) return "{\"state\":\"unassigned\"}";
    if (Value.IsNull()) return "{\"state\":\"null\"}";
    if (Value.IsInteger()) return "{\"state\":\"integer\",\"value\":" + Value.AsString() + "}";
    if (Value.IsFloat()) return "{\"state\":\"float\",\"value\":" + Value.AsString() + "}";
    if (Value.IsBoolean()) return "{\"state\":\"boolean\",\"value\":" + Bool(Value.AsBoolean()) + "}";
    const char* state = Value.IsDateTime() ? "datetime" : "string";
    return std::string("{\"state\":\"") + state + "\",\"value\":" + Quote(Value.AsString()) + "}";
}

std::string NodeJson(const TQBFunctionDef& Node);

std::string NodeListJson(const TQBFunctionDefs& List) {
    std::string out = "[";
    for (int i = 0; i < List.Count(); ++i) {
        if (i > 0) out += ',';
        out += NodeJson(*List.Items(i));
    }
    return out + "]";
}

std::string NodeJson(const TQBFunctionDef& Node) {
    std::string out = "{\"name\":" + Quote(Node.Name) + ",\"kind\":\"" + NameOf(KindNames, Node.Kind) +
                      "\",\"sql\":" + Quote(Node.GetSQL());
    if (Node.ArgumentCount() > 0) out += ",\"arguments\":" + NodeListJson(Node.Arguments());
    if (const TQBFieldDef* field = Node.AsFieldDef()) {
        out += ",\"alias\":" + Quote(field->Alias) + ",\"selectIndex\":" +
               std::to_string(field->SelectIndex) + ",\"paramType\":\"" +
               ParamTypeIdentifier(field->ParamType) + "\"";
        if (field->IsInputParam())
            out += ",\"dataType\":" + std::to_string(field->DataType) +
                   ",\"value\":" + ValueJson(field->Value);
    }
    return out + "}";
}

std::string GroupJson(const TQBCriterions& Group);

std::string CriterionJson(const TQBCriterion& Item) {
    if (Item.SubCriteriaCount() > 0) return "{\"group\":" + GroupJson(Item.SubCriteria()) + "}";
    return "{\"expression\":" + NodeJson(Item.Expression()) + ",\"operator\":" +
           Quote(Item.OperatorCaption) + ",\"operands\":" + NodeListJson(Item.Operands()) + "}";
}

std::string GroupJson(const TQBCriterions& Group) {
    std::string out = std::string("{\"kind\":\"") + NameOf(GroupKindNames, Group.GroupKind) +
                      "\",\"items\":[";
    for (int i = 0; i < Group.Count(); ++i) {
        if (i > 0) out += ',';
        out += CriterionJson(*Group.Items(i));
    }
    return out + "]}";
}

std::string SideJson(const std::string& Table, const std::string& Field, TQBFunctionKind Kind) {
    return "{\"table\":" + Quote(Table) + ",\"field\":" + Quote(Field) + ",\"kind\":\"" +
           NameOf(KindNames, Kind) + "\"}";
}

std::string ModelJson(TQBSelectParser& Parser) {
    // Writing the statement first settles the GROUP BY list the writer may rebuild.
    const std::string sql = Parser.GetSQL();
    std::ostringstream out;
    out << "{\n  \"distinct\": " << Bool(Parser.GetDistinct());
    if (const auto* ms = dynamic_cast<const TQBMSSelectParser*>(&Parser)) {
        const TQBMSSQLOptions& options = ms->GetOptions();
        if (options.Top >= 0)
            out << ",\n  \"top\": {\"count\":" << options.Top << ",\"percent\":"
                << Bool(options.Percent) << ",\"withTies\":" << Bool(options.WithTies) << "}";
        else
            out << ",\n  \"top\": null";
    }
    const TQBTableDefs& tables = *Parser.GetTableDefs();
    out << ",\n  \"tables\": [";
    for (int i = 0; i < tables.Count(); ++i) {
        const TQBTableDef& table = *tables.Items(i);
        out << (i ? "," : "") << "\n    {\"name\":" << Quote(table.GetTableName())
            << ",\"alias\":" << Quote(table.GetAlias()) << ",\"blank\":" << Bool(table.IsBlank())
            << ",\"procedure\":" << Bool(table.IsProcedure)
            << ",\"fields\":" << NodeListJson(table.Fields()) << "}";
    }
    const TQBJoinDefs& joins = *Parser.GetJoinDefs();
    out << "\n  ],\n  \"joins\": [";
    for (int i = 0; i < joins.Count(); ++i) {
        const TQBJoinDef& join = *joins.Items(i);
        out << (i ? "," : "") << "\n    {\"type\":\"" << NameOf(JoinTypeNames, join.JoinType)
            << "\",\"operator\":" << Quote(join.Operator)
            << ",\"left\":" << SideJson(join.LeftTable, join.LeftField, join.LeftKind)
            << ",\"right\":" << SideJson(join.RightTable, join.RightField, join.RightKind)
            << ",\"preferredTable\":" << Quote(join.PreferredTable)
            << ",\"preferredFollowed\":" << Bool(join.PreferredFollowed) << "}";
    }
    out << "\n  ],\n  \"where\": " << GroupJson(*Parser.GetWhereItems());
    out << ",\n  \"having\": " << GroupJson(*Parser.GetHavingItems());
    const TQBGroupByItems& groupBy = *Parser.GetGroupByItems();
    out << ",\n  \"groupBy\": [";
    for (int i = 0; i < groupBy.Count(); ++i) out << (i ? "," : "") << Quote(groupBy[i]);
    const TQBOrderByItems& orderBy = *Parser.GetOrderByItems();
    out << "],\n  \"orderBy\": [";
    for (int i = 0; i < orderBy.Count(); ++i)
        out << (i ? "," : "") << "{\"item\":" << Quote(orderBy[i]) << ",\"direction\":\""
            << (orderBy.GetDirection(i) == sdDescending ? "desc" : "asc") << "\"}";
    out << "],\n  \"sql\": " << Quote(sql) << "\n}\n";
    return out.str();
}

int RunModel(const std::vector<std::string>& args) {
    TQBFormatOptions options;
    std::string file;
    for (const std::string& arg : args) {
        std::string name, value;
        if (SplitOption(arg, name, value)) {
            if (name == "batch" || !ApplyFormatOption(options, name, value)) {
                std::cerr << "korvel-sql model: bad option " << arg << '\n';
                return ExitUsage;
            }
        } else if (file.empty()) {
            file = arg;
        } else {
            std::cerr << "korvel-sql model: more than one input file\n";
            return ExitUsage;
        }
    }
    const std::string text = ReadInputText(file);
    auto parser = MakeFormatParser(options);
    const TQBFormatResult result = FormatStatement(*parser, text);
    if (!result.Ok) {
        std::cerr << result.Error << '\n';
        return ExitError;
    }
    std::cout << ModelJson(*parser);
    return ExitOk;
}

const CommandRegistration reg("model", &RunModel);

}  // namespace
