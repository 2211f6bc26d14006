// Join definitions kept in step with the links, and the model's name comparison.
#include "diagram/QBModelLink.h"

#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "model/QBJoinDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"

bool ModelSameName(const TQBSelectParser* parser, const std::string& a, const std::string& b) {
    if (parser && parser->GetTableDefs()) return parser->GetTableDefs()->SameName(a, b);
    return a == b;
}

namespace {

struct TSides {
    std::string Table0, Field0, Table1, Field1;
};

TSides SidesOf(const TQBLink& link) {
    return TSides{link.Join()->Table0->Key(), link.Item0()->Name(), link.Join()->Table1->Key(),
                  link.Item1()->Name()};
}

}  // namespace

TQBJoinDef* FindLinkJoinDef(const TQBSelectParser* parser, const TQBLink& link) {
    if (!parser || !parser->GetJoinDefs()) return nullptr;
    const TSides s = SidesOf(link);
    const TQBJoinDefs& defs = *parser->GetJoinDefs();
    if (TQBJoinDef* def = defs.FindJoin(s.Table0, s.Field0, s.Table1, s.Field1)) return def;
    return defs.FindJoin(s.Table1, s.Field1, s.Table0, s.Field0);
}

void AddLinkJoinDef(TQBSelectParser* parser, const TQBLink& link) {
    if (!parser || !parser->GetJoinDefs() || FindLinkJoinDef(parser, link)) return;
    const TSides s = SidesOf(link);
    TQBJoinDef* def = parser->GetJoinDefs()->Add();
    def->LeftTable = s.Table0;
    def->LeftField = s.Field0;
    def->RightTable = s.Table1;
    def->RightField = s.Field1;
    def->JoinType = static_cast<std::uint8_t>(link.Join()->JoinType);
    def->Bind();
}

void DeleteLinkJoinDef(TQBSelectParser* parser, const TQBLink& link) {
    if (TQBJoinDef* def = FindLinkJoinDef(parser, link)) parser->GetJoinDefs()->Delete(def->GetIndex());
}
