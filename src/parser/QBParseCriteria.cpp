// The condition reader: ParseCriteria reads the logical structure of a WHERE or HAVING
// condition (AND, OR, NOT, brackets) with an operator stack into postfix order and builds
// the criterion tree from it; ParseCriterion reads one comparison and matches its operator
// words against the parser's operator table, so user-defined operators are read too.
#include "lexer/QBScanner.h"
#include "model/QBCriteria.h"
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

}  // namespace

void TQBSelectParser::ParseCriteria(TQBCriterions* Target) {
    if (!Target) return;
    TQBSQLScanner& scanner = *FScanner;
    // The comparisons are read straight into Target, in the order of the text; most
    // conditions are one group of comparisons in that order and need nothing more.
    struct TUpdate {
        TQBCriterions& Group;
        explicit TUpdate(TQBCriterions& G) : Group(G) { Group.BeginUpdate(); }
        ~TUpdate() { Group.EndUpdate(); }
    } update(*Target);
    Target->Clear();
    Target->GroupKind = gkAll;
    // The condition in postfix order: {operator code, -1} or {-1, index of a comparison in
    // Target}. The storage is the parser's, lent for this call.
    std::vector<std::pair<int, int>> postfix = std::exchange(FCriteriaPostfix, {});
    std::vector<int> stack = std::exchange(FCriteriaStack, {});
    postfix.clear();
    stack.clear();
    struct TGiveBack {
        TQBSelectParser& Parser;
        std::vector<std::pair<int, int>>& Postfix;
        std::vector<int>& Stack;
        ~TGiveBack() {
            Parser.FCriteriaPostfix = std::move(Postfix);
            Parser.FCriteriaStack = std::move(Stack);
        }
    } giveBack{*this, postfix, stack};
    bool overflow = false;

    const auto emit = [&postfix](int Code) { postfix.emplace_back(Code, -1); };
    const auto pushCode = [&](int Code) {
        if (Code == ocClose) {
            while (!stack.empty() && stack.back() != ocOpen) {
                emit(stack.back());
                stack.pop_back();
            }
            if (stack.empty())
                ReportParserError(qpeUnexpectedToken, ")", scanner.GetLine(), scanner.GetColumn());
            else
                stack.pop_back();
            return;
        }
        if (Code != ocOpen)
            while (!stack.empty() && Precedence(stack.back()) >= Precedence(Code)) {
                emit(stack.back());
                stack.pop_back();
            }
        if (stack.size() >= MaxOperatorStack) {
            overflow = true;
            return;
        }
        stack.push_back(Code);
    };

    // After a comparison or a closing bracket only AND, OR, a bracket or the end may follow:
    // two conditions side by side are an error, never a silent AND.
    bool afterOperand = false;
    const TQBTokenKinds operandKinds =
        qtkInteger | qtkFloat | qtkString | qtkIdentifier | qtkBoolean;
    while (!AtEnd(scanner)) {
        const TQBTokenKinds kinds = scanner.GetTokenKinds();
        if (kinds.Contains(qtkFunction) ||
            (!kinds.Contains(qtkKeyword) && kinds.ContainsAny(operandKinds)) ||
            IsOtherOperandStart(scanner)) {
            if (afterOperand) {
                FState = psError;
                return;
            }
            TQBCriterion* item = Target->Add();
            item->ParseMark = -1;
            postfix.emplace_back(-1, Target->Count() - 1);
            const int position = scanner.GetPosition();
            ParseCriterion(item);
            if (FState == psError) return;
            if (scanner.GetPosition() == position && !AtEnd(scanner)) {
                FState = psError;  // nothing could be read
                return;
            }
            afterOperand = true;
            continue;
        }
        if (kinds.Contains(qtkKeyword)) {
            if (IsWord(scanner, "NOT")) {
                if (afterOperand) {
                    FState = psError;
                    return;
                }
                pushCode(ocNot);
            } else if (IsWord(scanner, "AND") || IsWord(scanner, "OR")) {
                // AND and OR join two conditions: one must stand before them.
                if (!afterOperand) {
                    FState = psError;
                    return;
                }
                pushCode(IsWord(scanner, "AND") ? ocAnd : ocOr);
                afterOperand = false;
            } else {
                break;
            }
        } else if (IsSymbol(scanner, "(")) {
            if (afterOperand) {
                FState = psError;
                return;
            }
            pushCode(ocOpen);
        } else if (IsSymbol(scanner, ")")) {
            // A bracket closes a condition, never an empty one or a dangling AND, OR, NOT.
            if (!afterOperand) {
                FState = psError;
                return;
            }
            pushCode(ocClose);
        } else {
            // Anything else would be lost from the condition: an error, not a silent drop.
            FState = psError;
            return;
        }
        if (overflow) {
            FState = psError;
            return;
        }
        Next(scanner);
    }
    // A condition that ends after AND, OR, NOT or an opening bracket is unfinished.
    if (!afterOperand && (!postfix.empty() || !stack.empty())) {
        FState = psError;
        return;
    }
    while (!stack.empty()) {
        emit(stack.back());
        stack.pop_back();
    }

    // The common shape needs no tree: comparisons joined by one kind of word only (all AND
    // or all OR, brackets aside), each operator finding its two operands, are one group of
    // that kind in text order.
    {
        int depth = 0;
        int code = -1;
        bool flat = true;
        for (const auto& [entryCode, leafIndex] : postfix) {
            if (entryCode < 0) {
                ++depth;
            } else if ((entryCode == ocAnd || entryCode == ocOr) && (code < 0 || code == entryCode) &&
                       depth >= 2) {
                code = entryCode;
                --depth;
            } else {
                flat = false;
                break;
            }
        }
        if (flat && depth == 1) {
            if (code >= 0) Target->GroupKind = GroupKindOf(code);
            return;
        }
    }

    // Build the tree: each operator takes the items just before it (a stack of operands);
    // an operator with too few operands is dropped. AND and OR absorb the children of an
    // operand group of their own kind, so `a AND b AND c` is one All group of three.
    TNodeList operands;
    for (const auto& [entryCode, leafIndex] : postfix) {
        if (entryCode < 0) {
            auto leaf = std::make_unique<TConditionNode>();
            leaf->Leaf = Target->Items(leafIndex);
            leaf->LeafIndex = leafIndex;
            operands.push_back(std::move(leaf));
            continue;
        }
        const std::uint8_t kind = GroupKindOf(entryCode);
        const std::size_t count = kind == gkNot ? 1 : 2;
        if (operands.size() < count) continue;
        const auto absorbs = [kind](const TConditionNode& Operand) {
            return Operand.IsGroup() && Operand.Kind == kind && !Operand.Children.empty();
        };
        const std::size_t firstIndex = operands.size() - count;
        std::unique_ptr<TConditionNode> group;
        std::size_t from = firstIndex;
        if (count == 2 && absorbs(*operands[firstIndex])) {
            // Grow the left group in place: a long AND chain stays linear.
            group = std::move(operands[firstIndex]);
            from = firstIndex + 1;
        } else {
            group = std::make_unique<TConditionNode>();
            group->Kind = kind;
        }
        for (std::size_t i = from; i < operands.size(); ++i) {
            std::unique_ptr<TConditionNode>& operand = operands[i];
            if (count == 2 && absorbs(*operand)) {
                for (auto& child : operand->Children) group->Children.push_back(std::move(child));
            } else {
                group->Children.push_back(std::move(operand));
            }
        }
        operands.resize(operands.size() - count);
        operands.push_back(std::move(group));
    }
    if (operands.empty()) return;
    if (operands.front()->IsGroup()) Normalise(*operands.front());

    const TConditionNode& root = *operands.front();
    if (operands.size() == 1 && !root.IsGroup()) return;  // one comparison: All of one
    if (operands.size() == 1) {
        bool flat = root.Children.size() == std::size_t(Target->Count());
        for (std::size_t i = 0; flat && i < root.Children.size(); ++i)
            flat = root.Children[i]->Leaf == Target->Items(int(i));
        if (flat) {
            Target->GroupKind = root.Kind;
            return;
        }
    }
    // Nested groups: the comparisons move out of Target and back in, into their groups.
    TLeaves leaves(std::size_t(Target->Count()));
    for (int i = Target->Count() - 1; i >= 0; --i) leaves[std::size_t(i)] = Target->Extract(i);
    if (operands.size() == 1) {
        FillGroup(*Target, root, leaves);
    } else {
        // Operands left over are joined as by AND, which absorbs their own AND groups as
        // it does above: read back, the written text gives the same tree.
        Target->GroupKind = gkAll;
        for (const auto& node : operands) {
            if (node->IsGroup() && node->Kind == gkAll && !node->Children.empty())
                for (const auto& child : node->Children) AddNode(*Target, *child, leaves);
            else
                AddNode(*Target, *node, leaves);
        }
    }
}

void TQBSelectParser::ParseCriterion(TQBCriterion* Item) {
    TQBSQLScanner& scanner = *FScanner;
    std::string operatorText;
    int operatorStart = 0;
    TQBOperator* op = nullptr;
    TQBFunctionDef* lastFilled = nullptr;
    bool partial = false;
    bool done = false;
    bool operatorDone = false;
    const TQBTokenKinds sideStop = qtkKeyword | qtkComparison | qtkOperator;
    const auto fail = [this] { FState = psError; };

    const auto readOperand = [&](TQBFunctionDef* Operand, TQBTokenKinds Stop,
                                 const std::string& Allowed) {
        TQBTableDef* table = nullptr;
        ParseOperand(Operand, table, Stop, Allowed, poCreateTable);
        lastFilled = Operand;
        if (UseOuterJoinMarks() && scanner.GetToken() == "(+)" &&
            scanner.GetTokenKinds().Contains(qtkOperator)) {
            Operand->OuterJoinMark = true;
            Next(scanner);
        }
    };

    while (!done && !AtEnd(scanner) && FState != psError) {
        const TQBTokenKinds kinds = scanner.GetTokenKinds();
        const bool plain = !kinds.ContainsAny(qtkIdentifier | qtkString);
        if (plain && (kinds.Contains(qtkKeyword) || kinds.Contains(qtkComparison)) &&
            !kinds.Contains(qtkFunction)) {
            // 1. Operator words, matched word by word against the operator table.
            const bool firstWord = operatorText.empty();
            if (firstWord)
                operatorStart = scanner.GetPosition() - static_cast<int>(scanner.GetToken().size());
            else if (scanner.GetSpaceCount() > 0)
                operatorText += ' ';
            operatorText += scanner.GetToken();
            op = GetOperators()->FindStartingWith(operatorText, partial);
            if (!op || !lastFilled || lastFilled->Name.empty()) {
                // Not an operator here (AND, OR, GROUP ...): leave the words to the caller.
                if (!firstWord) {
                    scanner.Skip(operatorStart - scanner.GetPosition());
                    Next(scanner);
                }
                return;
            }
            // A second operator after a complete comparison (`a < b NOT LIKE c`) would
            // overwrite the first: an error.
            if (!Item->OperatorCaption.empty() && operatorDone) return fail();
            if (partial) {
                Next(scanner);
                continue;
            }
            Next(scanner);
            for (int i = 0; i < op->Count; ++i) {
                // An operator left unfinished (no bracket, no AND of BETWEEN) is an error:
                // written with what was read, it would say something else.
                if (!op->Prefix.empty()) {
                    if (scanner.GetToken() != op->Prefix) return fail();
                    Next(scanner);
                }
                if (IsWord(scanner, "SELECT")) {
                    // A sub-query: its tokens rebuilt into one text up to the closing bracket.
                    std::string text, prevToken;
                    TQBTokenKinds prevKinds;
                    int depth = 1;
                    while (!AtEnd(scanner)) {
                        // A quoted star is a name (see IsQuotedStar): no operator, kept quoted.
                        const bool quotedStar = IsQuotedStar(scanner);
                        TQBTokenKinds k = scanner.GetTokenKinds();
                        if (quotedStar) k.Exclude(qtkArithmetic);
                        const std::string token = scanner.GetToken();
                        const bool symbol = !k.ContainsAny(qtkIdentifier | qtkString);
                        if (symbol && token == "(") ++depth;
                        if (symbol && token == ")" && --depth == 0) break;
                        if (IsUnwritableName(scanner)) return fail();
                        const bool national = IsNationalString(scanner, prevToken, prevKinds);
                        if (!text.empty() && !national && NeedSpace(prevToken, token, k, prevKinds))
                            text += ' ';
                        text += quotedStar ? QuotedStar(scanner) : QuoteToken(FormatToken(token, k), k);
                        prevToken = token;
                        prevKinds = k.Empty() && scanner.GetInQuote() ? TQBTokenKinds(qtkIdentifier) : k;
                        Next(scanner);
                    }
                    if (AtEnd(scanner)) return fail();  // the sub-query is not closed
                    Item->Operands().Clear();
                    TQBFunctionDef* operand = Item->Operands().Add();
                    operand->SetName(text);
                    operand->SetKind(fkUnknown);
                    lastFilled = operand;
                } else {
                    // The operands of a list end at a comma or at the closing bracket on
                    // their own; they may hold brackets and signs: IN ((1), -2, a + 1).
                    const TQBTokenKinds stop = qtkComparison | qtkOperator | qtkKeyword;
                    do {
                        if (IsSymbol(scanner, ",")) Next(scanner);
                        readOperand(Item->Operands().Add(), stop, ".");
                        if (FState == psError) return;
                    } while (op->CommaList && IsSymbol(scanner, ","));
                    if (IsSymbol(scanner, ")")) done = true;
                }
                if (!op->Postfix.empty()) {
                    if (scanner.GetToken() != op->Postfix) return fail();
                    Next(scanner);
                }
                if (i < op->Count - 1 && !op->Relate.empty()) {
                    if (!IsWord(scanner, op->Relate.c_str())) return fail();
                    Next(scanner);
                }
            }
            Item->OperatorCaption = op->Caption;
            operatorDone = true;
            operatorText.clear();
            op = nullptr;
            const TQBTokenKinds after = scanner.GetTokenKinds();
            // A following keyword may be AND, OR or the next clause; anything else ends the
            // comparison and is left to the caller.
            if (!(after.Contains(qtkKeyword) && !after.Contains(qtkFunction))) done = true;
        } else if (kinds.ContainsAny(qtkFunction | qtkInteger | qtkFloat | qtkString |
                                     qtkIdentifier | qtkBoolean) ||
                   (!lastFilled && operatorText.empty() && IsOtherOperandStart(scanner))) {
            // 2. Operands: the left side, or the operand after a partly matched operator.
            if (operatorText.empty()) {
                if (lastFilled) return;  // a second left side: the caller reports it
                readOperand(&Item->Expression(), sideStop, "");
            } else {
                // Part of an operator's words followed by an operand: only an operator
                // known by that caption may stand here (`a IS b` is no comparison).
                if (!GetOperators()->FindByCaption(operatorText)) return fail();
                Item->OperatorCaption = operatorText;
                operatorText.clear();
                op = nullptr;
                TQBFunctionDefs& operands = Item->Operands();
                TQBFunctionDef* operand =
                    operands.Count() > 0 ? operands.Items(operands.Count() - 1) : operands.Add();
                readOperand(operand, sideStop, "");
            }
            if (IsSymbol(scanner, ")")) done = true;
        } else {
            // 3. Other tokens. After part of an operator's words they would make the
            // comparison another one (`a NOT -1` is no NOT LIKE): an error.
            if (!operatorText.empty()) return fail();
            return;
        }
    }
    // Operator words left unfinished at the end (`a NOT`, `a IS`).
    if (!operatorText.empty()) fail();
}
