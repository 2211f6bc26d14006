// The line model behind a criterion panel: TQBCriterionRows and TQBCriterionRow mirror a
// WHERE or HAVING condition tree, one row per group or condition, each row bound to the
// TQBCriterion it edits; TQBControl is one clickable piece of a row (a hot spot) with its
// text and horizontal extent. Every edit of a bound row is written through to its criterion
// at once, so the model and the generated SQL always follow the rows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/TCollection.h"

class TQBCriterion;
class TQBCriterionPanel;
class TQBCriterionRow;
class TQBCriterions;
class TQBFunctionDef;
class TQBOperator;

// The placeholder of an empty text: nine spaces.
inline constexpr const char* EmptySpotText = "         ";

// Spot indices of a condition row; a group row uses the number and spot 1 for its caption.
enum TQBSpotIndex : int {
    siNumber = 0,
    siLeftFunction = 1,
    siExpression = 2,
    siOperator = 3,
    siRightFunction = 4,
    siFirstValue = 5
};

// The text a spot shows for Source: the placeholder when empty, at most 50 characters
// followed by "...", line breaks turned into spaces.
std::string SpotText(const std::string& source);

// One hot spot of a row. Left is in panel coordinates before horizontal scrolling; a width
// of 0 hides the spot.
class TQBControl final {
public:
    TQBCriterionRow* Row = nullptr;
    std::string Text;
    int Left = 0;
    int SpotIndex = 0;
    int Width = 0;

    int Right() const { return Left + Width; }
};

// A list of rows: the panel's top list (OwnerRow null) or the sub-rows of a group row.
class TQBCriterionRows final : public TCollection {
public:
    TQBCriterionRows(TQBCriterionPanel* panel, TQBCriterionRow* ownerRow)
        : FPanel(panel), FOwnerRow(ownerRow) {}
    // Rows free their sub-rows, which reach back to this list while it still is one.
    ~TQBCriterionRows() override { Clear(); }

    TQBCriterionPanel* Panel() const { return FPanel; }
    TQBCriterionRow* OwnerRow() const { return FOwnerRow; }
    TQBCriterionRow* Add();
    TQBCriterionRow* Items(int index) const;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override;
    void Adopt(TCollectionItem& item) override;

private:
    TQBCriterionPanel* FPanel;
    TQBCriterionRow* FOwnerRow;
};

class TQBCriterionRow final : public TCollectionItem {
public:
    TQBCriterionRow();
    ~TQBCriterionRow() override;

    TQBCriterionRows& SubRows() { return *FSubRows; }
    const TQBCriterionRows& SubRows() const { return *FSubRows; }
    TQBCriterionRows* Rows() const { return static_cast<TQBCriterionRows*>(GetCollection()); }
    TQBCriterionPanel* Panel() const { return FPanel; }
    // The group row whose sub-row this is; null for the panel's top list.
    TQBCriterionRow* OwnerRow() const { return Rows() ? Rows()->OwnerRow() : nullptr; }

    const std::string& ExpressionText() const { return FExpressionText; }
    const std::string& LeftFunction() const { return FLeftFunction; }
    const std::string& RightFunction() const { return FRightFunction; }
    TQBOperator* Operator() const { return FOperator; }
    const std::vector<std::string>& Values() const { return FValues; }
    bool Expanded() const { return FExpanded; }
    const std::string& GroupCaption() const { return FGroupCaption; }
    TQBCriterion* Criterion() const { return FCriterion; }
    bool IsGroup() const { return !FGroupCaption.empty(); }

    int SpotCount() const { return static_cast<int>(FSpots.size()); }
    TQBControl* Spot(int index) const { return FSpots.at(static_cast<std::size_t>(index)).get(); }
    TQBControl* LastSpot() const { return FSpots.back().get(); }

    // Makes the row a group row with caption Text, expanded.
    void SetGroupCaption(const std::string& text);
    // Expanded only when Flag is set and the row has sub-rows.
    void SetExpanded(bool flag);
    // Takes Op as the row's operator; a bound row writes its caption into the criterion and
    // keeps no more operands than Op writes.
    void SetOperator(TQBOperator* op);
    // Write-through edits (only when the text differs from the row's current one).
    void SetExpressionText(const std::string& text);
    void SetLeftFunction(const std::string& text);
    void SetRightFunction(const std::string& text);
    // Value Index := Text, written into operand Index of the bound criterion.
    void SetValue(int index, const std::string& text);
    // Binds the row to Criterion, which takes the row's operator caption.
    void Bind(TQBCriterion* criterion);
    // Forgets the criterion without touching it (the panel reloads from the model).
    void Unbind() { FCriterion = nullptr; }
    // Copies Source's texts and operator (writing through when bound), values and expansion.
    void Assign(const TQBCriterionRow& source);
    using TCollectionItem::Assign;

    // Outline number: "" for a top row, "1.", "3.1."... for the rows below it.
    std::string Number() const;
    TQBCriterionRow* PriorRow() const;
    TQBCriterionRow* NextRow() const;

    // Lays the spots out from X; Layout() from the row's own place (owner's indent + 15).
    void LayoutRow(int x);
    void Layout();
    // The x the row's spots start at.
    int StartX() const;

    // The operator's name kept while the control replaces its operator table.
    std::string RememberedOperator;

private:
    friend class TQBCriterionRows;
    void Attach(TQBCriterionPanel* panel);
    void AdjustValueSlots();
    TQBFunctionDef& OperandTarget(int index);

    std::unique_ptr<TQBCriterionRows> FSubRows;
    std::string FExpressionText = EmptySpotText;
    std::string FLeftFunction = EmptySpotText;
    std::string FRightFunction = EmptySpotText;
    TQBOperator* FOperator = nullptr;
    std::vector<std::string> FValues;
    bool FExpanded = false;
    std::vector<std::unique_ptr<TQBControl>> FSpots;
    std::string FGroupCaption;
    TQBCriterion* FCriterion = nullptr;
    TQBCriterionPanel* FPanel = nullptr;
};
