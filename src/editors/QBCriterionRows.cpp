// Criterion rows: their spots, outline numbers, neighbours, layout and the write-through of
// every edit into the bound criterion.
#include "editors/QBCriterionRows.h"

#include <algorithm>

#include "editors/QBWherePanel.h"
#include "model/QBCriteria.h"
#include "parser/QBParser.h"
#include "toolkit/TextCompare.h"

namespace {

constexpr std::size_t MaxSpotChars = 50;
constexpr int SpotGap = 5;

// True for a byte that starts a UTF-8 character (not a continuation byte).
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// Empty or blank texts count as no text (the placeholder included).
bool Blank(const std::string& text) { return IsBlankText(text); }

// Node := a free copy of itself made the only argument of Node.
void WrapInFunction(TQBFunctionDef& node, const std::string& function) {
    TQBFunctionDef copy;
    copy.Assign(node);
    node.Arguments().Clear();
    node.Arguments().Add()->Assign(copy);
    node.Name = function;
    node.SetKind(fkFunction);
}

// A call of one argument becomes that argument again; anything else loses its function.
void UnwrapFunction(TQBFunctionDef& node) {
    if (node.ArgumentCount() == 1) {
        TQBFunctionDef copy;
        copy.Assign(*node.Arguments().Items(0));
        node.Assign(copy);
        return;
    }
    node.Name.clear();
    node.SetKind(fkUnknown);
}

// Applies a function choice to Node, whose current function text is Current.
void ApplyFunction(TQBFunctionDef& node, const std::string& current, const std::string& function) {
    if (!Blank(function)) {
        if (Blank(current))
            WrapInFunction(node, Trim(function));
        else {
            node.Name = Trim(function);
            node.SetKind(fkFunction);
        }
    } else if (!Blank(current)) {
        UnwrapFunction(node);
    }
}

void SetExpressionNode(TQBFunctionDef& node, const std::string& text) {
    if (node.ArgumentCount() > 0) node.Arguments().Clear();
    node.Name = Trim(text);
    node.SetKind(fkExpression);
}

}  // namespace

std::string SpotText(const std::string& source) {
    if (source.empty()) return EmptySpotText;
    std::string text;
    text.reserve(std::min(source.size(), std::size_t(MaxSpotChars * 4)));
    std::size_t chars = 0;
    for (char c : source) {
        if (StartsCharacter(c) && chars++ == MaxSpotChars) return text + "...";
        text += c == '\r' || c == '\n' ? ' ' : c;
    }
    return text;
}

// --- TQBCriterionRows ---

std::unique_ptr<TCollectionItem> TQBCriterionRows::CreateItem() { return std::make_unique<TQBCriterionRow>(); }

void TQBCriterionRows::Adopt(TCollectionItem& item) { static_cast<TQBCriterionRow&>(item).Attach(FPanel); }

TQBCriterionRow* TQBCriterionRows::Add() { return static_cast<TQBCriterionRow*>(TCollection::Add()); }

TQBCriterionRow* TQBCriterionRows::Items(int index) const { return ItemAs<TQBCriterionRow>(*this, index); }

// --- TQBCriterionRow ---

TQBCriterionRow::TQBCriterionRow() {
    for (int i = 0; i < siFirstValue; ++i) {
        auto spot = std::make_unique<TQBControl>();
        spot->Row = this;
        spot->SpotIndex = i;
        FSpots.push_back(std::move(spot));
    }
}

TQBCriterionRow::~TQBCriterionRow() = default;

void TQBCriterionRow::Attach(TQBCriterionPanel* panel) {
    FPanel = panel;
    FSubRows = std::make_unique<TQBCriterionRows>(panel, this);
    if (panel && panel->Parser() && panel->Parser()->GetOperators()->Count() > 0)
        FOperator = panel->Parser()->GetOperators()->Items(0);
    AdjustValueSlots();
    Layout();
}

void TQBCriterionRow::AdjustValueSlots() {
    if (!FOperator) return;
    const auto count = static_cast<std::size_t>(std::max(FOperator->Count, 0));
    FValues.resize(count, EmptySpotText);
    const std::size_t spots = count + siFirstValue;
    if (FSpots.size() > spots) FSpots.resize(spots);
    while (FSpots.size() < spots) {
        auto spot = std::make_unique<TQBControl>();
        spot->Row = this;
        spot->SpotIndex = static_cast<int>(FSpots.size());
        FSpots.push_back(std::move(spot));
    }
}

void TQBCriterionRow::SetGroupCaption(const std::string& text) {
    FGroupCaption = text;
    FExpanded = true;
    Layout();
}

void TQBCriterionRow::SetExpanded(bool flag) {
    FExpanded = flag && FSubRows && FSubRows->Count() > 0;
    AdjustValueSlots();
    Layout();
}

void TQBCriterionRow::SetOperator(TQBOperator* op) {
    if (op == FOperator) return;
    FOperator = op;
    if (!op) return;
    if (FCriterion) {
        FCriterion->OperatorCaption = op->Caption;
        // Operands beyond what the operator writes would be written after it as stray text.
        TQBFunctionDefs& operands = FCriterion->Operands();
        if (!op->CommaList)
            while (operands.Count() > std::max(op->Count, 0)) operands.Delete(operands.Count() - 1);
    }
    AdjustValueSlots();
    Layout();
}

void TQBCriterionRow::SetExpressionText(const std::string& text) {
    if (text == FExpressionText) return;
    if (FCriterion) {
        TQBFunctionDef& expression = FCriterion->Expression();
        if (!Blank(FLeftFunction)) {
            expression.Arguments().Clear();
            SetExpressionNode(*expression.Arguments().Add(), text);
        } else {
            SetExpressionNode(expression, text);
        }
    }
    FExpressionText = text;
}

void TQBCriterionRow::SetLeftFunction(const std::string& text) {
    if (text == FLeftFunction) return;
    if (FCriterion) ApplyFunction(FCriterion->Expression(), FLeftFunction, text);
    FLeftFunction = text;
}

void TQBCriterionRow::SetRightFunction(const std::string& text) {
    if (text == FRightFunction) return;
    if (FCriterion && !(Blank(text) && Blank(FRightFunction))) {
        TQBFunctionDefs& operands = FCriterion->Operands();
        if (operands.Count() == 0) operands.Add();
        ApplyFunction(*operands.Items(0), FRightFunction, text);
    }
    FRightFunction = text;
}

TQBFunctionDef& TQBCriterionRow::OperandTarget(int index) {
    TQBFunctionDefs& operands = FCriterion->Operands();
    if (FOperator && FOperator->CommaList) operands.Clear();
    while (operands.Count() < index + 1) operands.Add();
    TQBFunctionDef& operand = *operands.Items(index);
    if (index == 0 && !Blank(FRightFunction)) {
        operand.Arguments().Clear();
        return *operand.Arguments().Add();
    }
    return operand;
}

void TQBCriterionRow::SetValue(int index, const std::string& text) {
    if (index < 0) return;
    if (static_cast<std::size_t>(index) >= FValues.size()) FValues.resize(static_cast<std::size_t>(index) + 1, EmptySpotText);
    FValues[static_cast<std::size_t>(index)] = text;
    if (FCriterion) SetExpressionNode(OperandTarget(index), text);
}

void TQBCriterionRow::Bind(TQBCriterion* criterion) {
    if (criterion == FCriterion) return;
    FCriterion = criterion;
    if (FCriterion && FOperator) FCriterion->OperatorCaption = FOperator->Caption;
}

void TQBCriterionRow::Assign(const TQBCriterionRow& source) {
    if (!source.FGroupCaption.empty()) SetGroupCaption(source.FGroupCaption);
    SetLeftFunction(source.FLeftFunction);
    SetExpressionText(source.FExpressionText);
    SetRightFunction(source.FRightFunction);
    SetOperator(source.FOperator);
    AdjustValueSlots();
    FValues = source.FValues;
    AdjustValueSlots();
    FExpanded = source.FExpanded;
    LayoutRow(source.Spot(siNumber)->Left + TQBCriterionPanel::Indent);
}

std::string TQBCriterionRow::Number() const {
    std::string number;
    for (const TQBCriterionRow* row = this; row->OwnerRow(); row = row->OwnerRow())
        number = std::to_string(row->GetIndex() + 1) + "." + number;
    return number;
}

TQBCriterionRow* TQBCriterionRow::PriorRow() const {
    const int index = GetIndex();
    if (index <= 0) return OwnerRow();
    TQBCriterionRow* row = Rows()->Items(index - 1);
    while (row->FExpanded && row->FSubRows->Count() > 0) row = row->FSubRows->Items(row->FSubRows->Count() - 1);
    return row;
}

TQBCriterionRow* TQBCriterionRow::NextRow() const {
    if (FExpanded && FSubRows->Count() > 0) return FSubRows->Items(0);
    for (const TQBCriterionRow* row = this; row; row = row->OwnerRow()) {
        const TQBCriterionRows* rows = row->Rows();
        if (!rows) return nullptr;
        if (row->GetIndex() + 1 < rows->Count()) return rows->Items(row->GetIndex() + 1);
    }
    return nullptr;
}

int TQBCriterionRow::StartX() const {
    const TQBCriterionRow* owner = OwnerRow();
    return owner ? owner->Spot(siNumber)->Left + TQBCriterionPanel::Indent : TQBCriterionPanel::Indent;
}

void TQBCriterionRow::Layout() { LayoutRow(StartX()); }

void TQBCriterionRow::LayoutRow(int x) {
    const TQBCriterionPanel* panel = FPanel;
    if (panel && panel->LayoutSuspended()) return;
    const auto width = [panel](const std::string& text) { return panel ? panel->SpotTextWidth(text) : 0; };
    TQBControl& number = *FSpots[siNumber];
    const std::string numberText = Number();
    number.Text = numberText.empty() ? " " : numberText;
    number.Left = x;
    number.Width = TQBCriterionPanel::RowHeight + width(number.Text);
    x += number.Width + SpotGap;

    if (IsGroup()) {
        TQBControl& caption = *FSpots[siLeftFunction];
        caption.Text = FExpanded ? FGroupCaption : " ";
        caption.Left = x;
        caption.Width = width(caption.Text);
        for (std::size_t i = siExpression; i < FSpots.size(); ++i) {
            FSpots[i]->Left = x + caption.Width;
            FSpots[i]->Width = 0;
        }
        return;
    }
    const bool functions = panel && panel->ShowsFunctions();
    const auto place = [&](TQBControl& spot, const std::string& text, bool shown, int gap) {
        spot.Text = text;
        spot.Left = x;
        spot.Width = shown ? width(text) : 0;
        if (shown) x += spot.Width + gap;
    };
    place(*FSpots[siLeftFunction], SpotText(FLeftFunction), functions, SpotGap);
    place(*FSpots[siExpression], SpotText(FExpressionText), true, SpotGap);
    place(*FSpots[siOperator], FOperator ? SpotText(FOperator->Caption) : " ", true, SpotGap);
    place(*FSpots[siRightFunction], SpotText(FRightFunction), functions, SpotGap);
    const std::string relate = FOperator && !FOperator->Relate.empty() ? FOperator->Relate : " ";
    const int valueGap = (panel ? panel->PlainTextWidth(relate) : 0) + SpotGap;
    for (std::size_t i = siFirstValue; i < FSpots.size(); ++i) {
        const std::size_t value = i - siFirstValue;
        place(*FSpots[i], SpotText(value < FValues.size() ? FValues[value] : std::string()), true, valueGap);
    }
}
