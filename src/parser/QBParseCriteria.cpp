// The condition reader: ParseCriteria reads the logical structure of a WHERE or HAVING
// condition (AND, OR, NOT, brackets) with an operator stack into postfix order and builds
// the criterion tree from it; ParseCriterion reads one comparison and matches its operator
// words against the parser's operator table, so user-defined operators are read too.
#include "lexer/QBScanner.h"
#include "model/QBCriteria.h"
#include "parser/QBParseReader.h"
#include "parser/QBParseSupport.h"
#include "parser/QBParser.h"
#include "toolkit/TBlockPool.h"

#include <memory>
#include <utility>
#include <vector>

using namespace qbparse;

namespace {

// The operator stack holds at most this many entries; deeper nesting is a parse error.
constexpr std::size_t MaxOperatorStack = 1024;

enum TOperatorCode { ocNot = 0, ocAnd = 1, ocOr = 2, ocOpen = 3, ocClose = 4 };

int Precedence(int Code) {
    switch (Code) {
        case ocNot: return 4;
        case ocAnd: return 3;
        case ocOr: return 2;
        case ocClose: return 1;
        default: return 0;
    }
}

std::uint8_t GroupKindOf(int Code) {
    if (Code == ocNot) return gkNot;
    if (Code == ocAnd) return gkAll;
    return gkAny;  // OR, and an unclosed bracket
}

struct TConditionNode;
// Nodes and their lists come from recycled blocks: every nested condition makes a few.
using TNodeList = std::vector<std::unique_ptr<TConditionNode>,
                              TPoolAllocator<std::unique_ptr<TConditionNode>>>;

// A node of the tree being built: a comparison (Leaf set) or a group of nodes.
struct TConditionNode : TPooled {
    TQBCriterion* Leaf = nullptr;
    int LeafIndex = -1;
    std::uint8_t Kind = gkAll;
    TNodeList Children;
    bool IsGroup() const { return Leaf == nullptr; }
};

// A Not group around a single All or Any group becomes Not all or None.
void Normalise(TConditionNode& Node) {
    if (Node.Kind == gkNot && Node.Children.size() == 1 && Node.Children[0]->IsGroup() &&
        (Node.Children[0]->Kind == gkAll || Node.Children[0]->Kind == gkAny) &&
        !Node.Children[0]->Children.empty()) {
        std::unique_ptr<TConditionNode> inner = std::move(Node.Children[0]);
        Node.Kind = inner->Kind == gkAny ? gkNone : gkNotAll;
        Node.Children = std::move(inner->Children);
    }
    for (auto& child : Node.Children)
        if (child->IsGroup()) Normalise(*child);
}

// The comparisons read, taken out of the target group while the tree is built, by index.
using TLeaves = std::vector<std::unique_ptr<TCollectionItem>>;

// Adds Node to Target: the comparison itself, moved in, or a new criterion whose
// sub-criteria hold the group.
void AddNode(TQBCriterions& Target, const TConditionNode& Node, TLeaves& Leaves);

void FillGroup(TQBCriterions& Target, const TConditionNode& Group, TLeaves& Leaves) {
    Target.GroupKind = Group.Kind;
    for (const auto& child : Group.Children) AddNode(Target, *child, Leaves);
}

void AddNode(TQBCriterions& Target, const TConditionNode& Node, TLeaves& Leaves) {
    if (Node.Leaf) {
        Target.InsertItem(Target.Count(), std::move(Leaves[std::size_t(Node.LeafIndex)]));
        return;
    }
    TQBCriterion* item = Target.Add();
    item->ParseMark = -1;
    FillGroup(item->SubCriteria(), Node, Leaves);
}

// The postfix order of a condition and the operator stack that makes it: {operator code, -1}
// or {-1, index of a comparison in the target group}. The storage is the parser's.
class TPostfixBuilder {
public:
    enum TPush { puPushed, puOverflow, puUnmatched };

    TPostfixBuilder(std::vector<std::pair<int, int>>& Postfix, std::vector<int>& Stack)
        : FPostfix(Postfix), FStack(Stack) {
        FPostfix.clear();
        FStack.clear();
    }
    void AddComparison(int Index) { FPostfix.emplace_back(-1, Index); }
    // A closing bracket pops back to its opening one; another operator pops those that bind
    // at least as strongly, then waits on the stack.
    TPush Push(int Code) {
        if (Code == ocClose) {
            PopWhile([](int Top) { return Top != ocOpen; });
            if (FStack.empty()) return puUnmatched;
            FStack.pop_back();
            return puPushed;
        }
        if (Code != ocOpen)
            PopWhile([Code](int Top) { return Precedence(Top) >= Precedence(Code); });
        if (FStack.size() >= MaxOperatorStack) return puOverflow;
        FStack.push_back(Code);
        return puPushed;
    }
    void Finish() {
        PopWhile([](int) { return true; });
    }
    bool Empty() const { return FPostfix.empty() && FStack.empty(); }
    const std::vector<std::pair<int, int>>& Entries() const { return FPostfix; }

private:
    template <class TCondition>
    void PopWhile(TCondition Condition) {
        while (!FStack.empty() && Condition(FStack.back())) {
            FPostfix.emplace_back(FStack.back(), -1);
            FStack.pop_back();
        }
    }

    std::vector<std::pair<int, int>>& FPostfix;
    std::vector<int>& FStack;
};

// The common shape needs no tree: comparisons joined by one kind of word only (all AND or
// all OR, brackets aside), each operator finding its two operands, are one group of that
// kind in text order. Code receives that word, or -1 for a single comparison.
bool IsFlatChain(const std::vector<std::pair<int, int>>& Postfix, int& Code) {
    int depth = 0;
    Code = -1;
    for (const auto& [entryCode, leafIndex] : Postfix) {
        if (entryCode < 0) {
            ++depth;
        } else if ((entryCode == ocAnd || entryCode == ocOr) && (Code < 0 || Code == entryCode) &&
                   depth >= 2) {
            Code = entryCode;
            --depth;
        } else {
            return false;
        }
    }
    return depth == 1;
}

// Applies one operator of the postfix order to the operands before it: AND and OR absorb
// the children of an operand group of their own kind, so `a AND b AND c` is one All group of
// three. An operator with too few operands is dropped.
void ApplyOperator(TNodeList& Operands, int Code) {
    const std::uint8_t kind = GroupKindOf(Code);
    const std::size_t count = kind == gkNot ? 1 : 2;
    if (Operands.size() < count) return;
    const auto absorbs = [kind](const TConditionNode& Operand) {
        return Operand.IsGroup() && Operand.Kind == kind && !Operand.Children.empty();
    };
    const std::size_t firstIndex = Operands.size() - count;
    std::unique_ptr<TConditionNode> group;
    std::size_t from = firstIndex;
    if (count == 2 && absorbs(*Operands[firstIndex])) {
        // Grow the left group in place: a long AND chain stays linear.
        group = std::move(Operands[firstIndex]);
        from = firstIndex + 1;
    } else {
        group = std::make_unique<TConditionNode>();
        group->Kind = kind;
    }
    for (std::size_t i = from; i < Operands.size(); ++i) {
        std::unique_ptr<TConditionNode>& operand = Operands[i];
        if (count == 2 && absorbs(*operand)) {
            for (auto& child : operand->Children) group->Children.push_back(std::move(child));
        } else {
            group->Children.push_back(std::move(operand));
        }
    }
    Operands.resize(Operands.size() - count);
    Operands.push_back(std::move(group));
}

// The tree of the postfix order: the operands left when every operator has taken its own.
TNodeList BuildTree(const std::vector<std::pair<int, int>>& Postfix, TQBCriterions& Target) {
    TNodeList operands;
    for (const auto& [entryCode, leafIndex] : Postfix) {
        if (entryCode >= 0) {
            ApplyOperator(operands, entryCode);
            continue;
        }
        auto leaf = std::make_unique<TConditionNode>();
        leaf->Leaf = Target.Items(leafIndex);
        leaf->LeafIndex = leafIndex;
        operands.push_back(std::move(leaf));
    }
    if (!operands.empty() && operands.front()->IsGroup()) Normalise(*operands.front());
    return operands;
}

// Puts the comparisons of Target into the groups of the tree: they move out of Target and
// back in, into their groups. Nothing moves when the tree is one group of them in order.
void PlaceTree(TQBCriterions& Target, const TNodeList& Operands) {
    if (Operands.empty()) return;
    const TConditionNode& root = *Operands.front();
    if (Operands.size() == 1 && !root.IsGroup()) return;  // one comparison: All of one
    if (Operands.size() == 1) {
        bool flat = root.Children.size() == std::size_t(Target.Count());
        for (std::size_t i = 0; flat && i < root.Children.size(); ++i)
            flat = root.Children[i]->Leaf == Target.Items(int(i));
        if (flat) {
            Target.GroupKind = root.Kind;
            return;
        }
    }
    TLeaves leaves(std::size_t(Target.Count()));
    for (int i = Target.Count() - 1; i >= 0; --i) leaves[std::size_t(i)] = Target.Extract(i);
    if (Operands.size() == 1) {
        FillGroup(Target, root, leaves);
        return;
    }
    // Operands left over are joined as by AND, which absorbs their own AND groups as an
    // operator does: read back, the written text gives the same tree.
    Target.GroupKind = gkAll;
    for (const auto& node : Operands) {
        if (node->IsGroup() && node->Kind == gkAll && !node->Children.empty())
            for (const auto& child : node->Children) AddNode(Target, *child, leaves);
        else
            AddNode(Target, *node, leaves);
    }
}

}  // namespace

// The readers of one condition: its logical structure into postfix order (ReadStructure),
// and one comparison (ReadComparison): the left side, the operator words matched against
// the parser's operator table, and the operands the operator takes.
class TQBConditionReader {
public:
    explicit TQBConditionReader(TQBSelectParser& Parser)
        : FParser(Parser), FScanner(*Parser.FScanner) {}

    // Reads the structure up to its end into Postfix, the comparisons into Target; false
    // when it cannot be read.
    bool ReadStructure(TQBCriterions& Target, TPostfixBuilder& Postfix);
    // Reads one comparison into Item; false when it cannot be read.
    bool ReadComparison(TQBCriterion& Item);

private:
    enum TStep { stGo, stLeave, stFault };

    bool StartsComparison(TQBTokenKinds Kinds) const;
    bool AddComparison(TQBCriterions& Target, TPostfixBuilder& Postfix);
    TStep ReadLogicalToken(TPostfixBuilder& Postfix, bool& AfterOperand);
    TStep ReadOperatorWord(TQBCriterion& Item);
    TStep ReadOperatorOperands(TQBCriterion& Item);
    TStep ReadSubQuery(TQBCriterion& Item);
    TStep ReadSide(TQBCriterion& Item);
    void ReadOperand(TQBFunctionDef& Operand, TQBTokenKinds Stop, const std::string& Allowed);

    TQBSelectParser& FParser;
    TQBSQLScanner& FScanner;
    // The comparison being read: its operator words so far and where they start, the
    // operator they match (partly, while Partial), the operand filled last.
    std::string FOperatorText;
    int FOperatorStart = 0;
    TQBOperator* FOperator = nullptr;
    TQBFunctionDef* FLastFilled = nullptr;
    bool FPartial = false;
    bool FDone = false;
    bool FOperatorDone = false;
};

bool TQBConditionReader::StartsComparison(TQBTokenKinds Kinds) const {
    const TQBTokenKinds operandKinds =
        qtkInteger | qtkFloat | qtkString | qtkIdentifier | qtkBoolean;
    return Kinds.Contains(qtkFunction) ||
           (!Kinds.Contains(qtkKeyword) && Kinds.ContainsAny(operandKinds)) ||
           IsOtherOperandStart(FScanner);
}

// Reads one comparison straight into Target, in the order of the text.
bool TQBConditionReader::AddComparison(TQBCriterions& Target, TPostfixBuilder& Postfix) {
    TQBCriterion* item = Target.Add();
    item->ParseMark = -1;
    Postfix.AddComparison(Target.Count() - 1);
    const int position = FScanner.GetPosition();
    FParser.ParseCriterion(item);
    if (FParser.FState == psError) return false;
    // Nothing could be read.
    return FScanner.GetPosition() != position || AtEnd(FScanner);
}

// AND, OR, NOT or a bracket. After a comparison or a closing bracket only AND, OR, a
// bracket or the end may follow: two conditions side by side are an error, never a silent
// AND; and a bracket closes a condition, never an empty one or a dangling AND, OR, NOT.
TQBConditionReader::TStep TQBConditionReader::ReadLogicalToken(TPostfixBuilder& Postfix,
                                                               bool& AfterOperand) {
    int code = -1;
    if (FScanner.GetTokenKinds().Contains(qtkKeyword)) {
        if (IsWord(FScanner, "NOT")) {
            if (AfterOperand) return stFault;
            code = ocNot;
        } else if (IsWord(FScanner, "AND") || IsWord(FScanner, "OR")) {
            if (!AfterOperand) return stFault;
            code = IsWord(FScanner, "AND") ? ocAnd : ocOr;
            AfterOperand = false;
        } else {
            return stLeave;
        }
    } else if (IsSymbol(FScanner, "(")) {
        if (AfterOperand) return stFault;
        code = ocOpen;
    } else if (IsSymbol(FScanner, ")")) {
        if (!AfterOperand) return stFault;
        code = ocClose;
    } else {
        // Anything else would be lost from the condition: an error, not a silent drop.
        return stFault;
    }
    const TPostfixBuilder::TPush pushed = Postfix.Push(code);
    if (pushed == TPostfixBuilder::puOverflow) return stFault;
    if (pushed == TPostfixBuilder::puUnmatched)
        FParser.ReportParserError(qpeUnexpectedToken, ")", FScanner.GetLine(), FScanner.GetColumn());
    return stGo;
}

bool TQBConditionReader::ReadStructure(TQBCriterions& Target, TPostfixBuilder& Postfix) {
    bool afterOperand = false;
    while (!AtEnd(FScanner)) {
        if (StartsComparison(FScanner.GetTokenKinds())) {
            if (afterOperand || !AddComparison(Target, Postfix)) return false;
            afterOperand = true;
            continue;
        }
        const TStep step = ReadLogicalToken(Postfix, afterOperand);
        if (step == stFault) return false;
        if (step == stLeave) break;
        Next(FScanner);
    }
    // A condition that ends after AND, OR, NOT or an opening bracket is unfinished.
    if (!afterOperand && !Postfix.Empty()) return false;
    Postfix.Finish();
    return true;
}

void TQBSelectParser::ParseCriteria(TQBCriterions* Target) {
    if (!Target) return;
    struct TUpdate {
        TQBCriterions& Group;
        explicit TUpdate(TQBCriterions& G) : Group(G) { Group.BeginUpdate(); }
        ~TUpdate() { Group.EndUpdate(); }
    } update(*Target);
    Target->Clear();
    Target->GroupKind = gkAll;
    TPostfixBuilder postfix(FReader->CriteriaPostfix, FReader->CriteriaStack);
    if (!TQBConditionReader(*this).ReadStructure(*Target, postfix)) {
        FState = psError;
        return;
    }
    // Most conditions are one group of comparisons in the order of the text, as read.
    int code = -1;
    if (IsFlatChain(postfix.Entries(), code)) {
        if (code >= 0) Target->GroupKind = GroupKindOf(code);
        return;
    }
    PlaceTree(*Target, BuildTree(postfix.Entries(), *Target));
}

void TQBConditionReader::ReadOperand(TQBFunctionDef& Operand, TQBTokenKinds Stop,
                                     const std::string& Allowed) {
    TQBTableDef* table = nullptr;
    FParser.ParseOperand(&Operand, table, Stop, Allowed, poCreateTable);
    FLastFilled = &Operand;
    if (FParser.UseOuterJoinMarks() && FScanner.GetToken() == "(+)" &&
        FScanner.GetTokenKinds().Contains(qtkOperator)) {
        Operand.OuterJoinMark = true;
        Next(FScanner);
    }
}

// A sub-query: its tokens rebuilt into one text up to the closing bracket, the operator's
// one operand.
TQBConditionReader::TStep TQBConditionReader::ReadSubQuery(TQBCriterion& Item) {
    std::string text, prevToken;
    TQBTokenKinds prevKinds;
    int depth = 1;
    while (!AtEnd(FScanner)) {
        // A quoted star is a name (see IsQuotedStar): no operator, kept quoted.
        const bool quotedStar = IsQuotedStar(FScanner);
        TQBTokenKinds kinds = FScanner.GetTokenKinds();
        if (quotedStar) kinds.Exclude(qtkArithmetic);
        const std::string token = FScanner.GetToken();
        const bool symbol = IsPlainToken(FScanner, kinds);
        if (symbol && token == "(") ++depth;
        if (symbol && token == ")" && --depth == 0) break;
        if (IsUnwritableName(FScanner)) return stFault;
        const bool national = IsNationalString(FScanner, prevToken, prevKinds);
        const TQBTokenKinds spacing = SpacingKinds(FScanner, kinds);
        if (!text.empty() && !national && FParser.NeedSpace(prevToken, token, spacing, prevKinds))
            text += ' ';
        text += quotedStar ? QuotedStar(FScanner)
                           : FParser.QuoteToken(FParser.FormatToken(token, kinds), kinds);
        prevToken = token;
        prevKinds = spacing;
        Next(FScanner);
    }
    if (AtEnd(FScanner)) return stFault;  // the sub-query is not closed
    Item.Operands().Clear();
    TQBFunctionDef* operand = Item.Operands().Add();
    operand->SetName(text);
    operand->SetKind(fkUnknown);
    FLastFilled = operand;
    return stGo;
}

// The operands of the matched operator, each with its prefix, postfix and the word that
// relates it to the next. An operator left unfinished (no bracket, no AND of BETWEEN) is an
// error: written with what was read, it would say something else.
TQBConditionReader::TStep TQBConditionReader::ReadOperatorOperands(TQBCriterion& Item) {
    const TQBOperator& op = *FOperator;
    for (int i = 0; i < op.Count; ++i) {
        if (!op.Prefix.empty()) {
            if (FScanner.GetToken() != op.Prefix) return stFault;
            Next(FScanner);
        }
        // A sub-query stands for all the operands (`IN (SELECT ...)`): only the first may be
        // one, or the operands read before it would be lost.
        if (i == 0 && IsWord(FScanner, "SELECT")) {
            if (ReadSubQuery(Item) == stFault) return stFault;
        } else {
            // The operands of a list end at a comma or at the closing bracket on their own;
            // they may hold brackets and signs: IN ((1), -2, a + 1).
            const TQBTokenKinds stop = qtkComparison | qtkOperator | qtkKeyword;
            bool first = true;
            do {
                if (IsSymbol(FScanner, ",")) Next(FScanner);
                TQBFunctionDef& operand = *Item.Operands().Add();
                ReadOperand(operand, stop, ".");
                if (FParser.FState == psError) return stLeave;
                // An empty item of a list (`IN (1,,2)`) would be lost when read again.
                if (op.CommaList && operand.Kind == fkUnknown && operand.Name.empty() &&
                    (!first || IsSymbol(FScanner, ",")))
                    return stFault;
                first = false;
            } while (op.CommaList && IsSymbol(FScanner, ","));
            if (IsSymbol(FScanner, ")")) FDone = true;
        }
        if (!op.Postfix.empty()) {
            if (FScanner.GetToken() != op.Postfix) return stFault;
            Next(FScanner);
        }
        if (i < op.Count - 1 && !op.Relate.empty()) {
            if (!IsWord(FScanner, op.Relate.c_str())) return stFault;
            Next(FScanner);
        }
    }
    return stGo;
}

// One operator word, matched with the words before it against the operator table; a
// complete match reads the operator's operands.
TQBConditionReader::TStep TQBConditionReader::ReadOperatorWord(TQBCriterion& Item) {
    const bool firstWord = FOperatorText.empty();
    if (firstWord)
        FOperatorStart = FScanner.GetPosition() - static_cast<int>(FScanner.GetToken().size());
    else if (FScanner.GetSpaceCount() > 0)
        FOperatorText += ' ';
    FOperatorText += FScanner.GetToken();
    FOperator = FParser.GetOperators()->FindStartingWith(FOperatorText, FPartial);
    if (!FOperator || !FLastFilled || FLastFilled->Name.empty()) {
        // Not an operator here (AND, OR, GROUP ...): leave the words to the caller.
        if (!firstWord) {
            FScanner.Skip(FOperatorStart - FScanner.GetPosition());
            Next(FScanner);
        }
        return stLeave;
    }
    // A second operator after a complete comparison (`a < b NOT LIKE c`) would overwrite
    // the first: an error.
    if (!Item.OperatorCaption.empty() && FOperatorDone) return stFault;
    Next(FScanner);
    if (FPartial) return stGo;
    const TStep step = ReadOperatorOperands(Item);
    if (step != stGo) return step;
    Item.OperatorCaption = FOperator->Caption;
    FOperatorDone = true;
    FOperatorText.clear();
    FOperator = nullptr;
    const TQBTokenKinds after = FScanner.GetTokenKinds();
    // A following keyword may be AND, OR or the next clause; anything else ends the
    // comparison and is left to the caller.
    if (!(after.Contains(qtkKeyword) && !after.Contains(qtkFunction))) FDone = true;
    return stGo;
}

// An operand: the left side, or the operand after a partly matched operator.
TQBConditionReader::TStep TQBConditionReader::ReadSide(TQBCriterion& Item) {
    const TQBTokenKinds sideStop = qtkKeyword | qtkComparison | qtkOperator;
    if (FOperatorText.empty()) {
        if (FLastFilled) return stLeave;  // a second left side: the caller reports it
        ReadOperand(Item.Expression(), sideStop, "");
    } else {
        // Part of an operator's words followed by an operand: only an operator known by
        // that caption may stand here (`a IS b` is no comparison).
        if (!FParser.GetOperators()->FindByCaption(FOperatorText)) return stFault;
        Item.OperatorCaption = FOperatorText;
        FOperatorText.clear();
        FOperator = nullptr;
        TQBFunctionDefs& operands = Item.Operands();
        ReadOperand(operands.Count() > 0 ? *operands.Items(operands.Count() - 1) : *operands.Add(),
                    sideStop, "");
    }
    if (IsSymbol(FScanner, ")")) FDone = true;
    return stGo;
}

bool TQBConditionReader::ReadComparison(TQBCriterion& Item) {
    const TQBTokenKinds operandKinds =
        qtkFunction | qtkInteger | qtkFloat | qtkString | qtkIdentifier | qtkBoolean;
    while (!FDone && !AtEnd(FScanner) && FParser.FState != psError) {
        const TQBTokenKinds kinds = FScanner.GetTokenKinds();
        const bool plain = !kinds.ContainsAny(qtkIdentifier | qtkString);
        TStep step = stGo;
        if (plain && (kinds.Contains(qtkKeyword) || kinds.Contains(qtkComparison)) &&
            !kinds.Contains(qtkFunction))
            step = ReadOperatorWord(Item);
        else if (kinds.ContainsAny(operandKinds) ||
                 (!FLastFilled && FOperatorText.empty() && IsOtherOperandStart(FScanner)))
            step = ReadSide(Item);
        else
            // Other tokens. After part of an operator's words they would make the
            // comparison another one (`a NOT -1` is no NOT LIKE): an error.
            step = FOperatorText.empty() ? stLeave : stFault;
        if (step == stFault) return false;
        if (step == stLeave) return true;
    }
    // Operator words left unfinished at the end (`a NOT`, `a IS`).
    return FOperatorText.empty();
}

void TQBSelectParser::ParseCriterion(TQBCriterion* Item) {
    if (!TQBConditionReader(*this).ReadComparison(*Item)) FState = psError;
}
