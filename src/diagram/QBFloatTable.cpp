// Table boxes and their field lines: geometry, painting and the box's own input handling.
#include "diagram/QBFloatTable.h"

#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "diagram/QBAppearance.h"
#include "diagram/QBColor.h"
#include "data/DataSet.h"
#include "diagram/QBGeometry.h"
#include "diagram/QBImages.h"
#include "diagram/QBModelLink.h"
#include "lexer/QBScanner.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

constexpr int ButtonSize = 12;  // the caption buttons' bitmaps are square (see QBImages)

TQBWorkArea* CheckedWorkArea(TQBWorkArea* workArea) {
    if (!workArea) throw EQBException(QBResource::SInvalidTableParent);
    return workArea;
}

}  // namespace

// --- field types ---

std::string FieldTypeName(int dataType) {
    switch (dataType) {
        case ftFloat: case ftCurrency: return "Float";
        case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint: return "Integer";
        case ftUnknown: case ftString: case ftMemo: case ftFmtMemo: case ftFixedChar: case ftWideString:
            return "String";
        case ftBoolean: return "Boolean";
        case ftBCD: return "BCD";
        case ftDate: return "Date";
        case ftTime: return "Time";
        case ftDateTime: return "DateTime";
        case ftBytes: return "Bytes";
        case ftVarBytes: return "VarBytes";
        case ftBlob: return "Blob";
        case ftGraphic: return "Graphic";
        case ftParadoxOle: return "ParadoxOle";
        case ftDBaseOle: return "DBaseOle";
        case ftTypedBinary: return "Typed binary";
        case ftCursor: return "Cursor";
        case ftADT: return "ADT";
        case ftArray: return "Array";
        case ftReference: return "Reference";
        case ftDataSet: return "Data set";
        case ftOraBlob: return "Ora blob";
        case ftOraClob: return "Ora clob";
        case ftVariant: return "Variant";
        case ftInterface: return "Interface";
        case ftIDispatch: return "IDispatch";
        case ftGuid: return "Guid";
        default: return std::string();
    }
}

bool IsIntegerFamily(int t) {
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint;
}
bool IsFloatFamily(int t) { return t == ftFloat || t == ftCurrency; }
bool IsStringFamily(int t) {
    return t == ftUnknown || t == ftString || t == ftMemo || t == ftFmtMemo || t == ftFixedChar || t == ftWideString;
}

// --- field line ---

TQBListItem::TQBListItem(TQBTable* table, int usage, int dataType, std::string name)
    : FTable(table), FName(std::move(name)), FDataType(dataType), FUsage(usage) {}

void TQBListItem::SetChecked(bool value) {
    FChecked = value;
    FTable->InvalidateItem(this, TQBTable::TItemPart::CheckCell);
    if (IsColumn()) FTable->WorkArea()->DoFieldCheckChanged(FTable, this);
    SetCheckedQuietly(value);
}

void TQBListItem::SetCheckedQuietly(bool value) {
    FChecked = value;
    FTable->InvalidateItem(this, TQBTable::TItemPart::CheckCell);
    if (IsColumn()) FTable->RecalcCheckState();
}

void TQBListItem::SetHighlighted(bool value) {
    FHighlighted = value;
    FTable->InvalidateItem(this, TQBTable::TItemPart::Text);
}

TRect TQBListItem::ItemLinkRect() const { return FTable->ItemLinkRect(this); }

// --- box: creation and identity ---

TQBTable::TQBTable(TQBWorkArea* workArea, std::string name, TDataSet* dataSet)
    : TQBFloatObject(CheckedWorkArea(workArea)), FName(std::move(name)) {
    SetCaptionHeight(workArea->FontHeight() + 4);
    SetLineHeight(workArea->FontHeight());
    LoadFields(dataSet);
    FHeight = FVisibleLines * (FLineHeight + 1) + FCaptionHeight + FBorder + 2 * FMargin;
}

TQBTable::~TQBTable() = default;

void TQBTable::SetCaptionHeight(int value) {
    value = std::abs(value);
    if (value == 0 || value == FCaptionHeight) return;
    FCaptionHeight = std::max(value, 20);
}

void TQBTable::SetLineHeight(int value) {
    value = std::abs(value);
    if (value == 0 || value == FLineHeight) return;
    FLineHeight = std::max(value, 16);
}

void TQBTable::LoadFields(TDataSet* dataSet) {
    FItems.clear();
    FFocusedItem = nullptr;
    if (!dataSet) return;
    const bool wasOpen = dataSet->Active();
    if (!wasOpen) dataSet->Open();
    struct CloseAgain {
        TDataSet* Set;
        bool Close;
        ~CloseAgain() {
            if (Close) Set->Close();
        }
    } closeAgain{dataSet, !wasOpen};
    const int count = dataSet->FieldCount();
    FVisibleLines = count < 7 ? count : 6;
    const TQBSelectParser* parser = FWorkArea->Parser();
    for (int i = 0; i < count; ++i) {
        const TDataField& field = dataSet->Fields(i);
        std::string fieldName = field.FieldName();
        if (parser && parser->GetScanner() && fieldName.find('.') != std::string::npos)
            fieldName = parser->GetScanner()->QuoteIdentifier(fieldName);
        FItems.push_back(std::make_unique<TQBListItem>(this, iuColumn, field.DataType(), fieldName));
    }
}

TQBListItem* TQBTable::AppendItem(int usage, int dataType, std::string name) {
    FItems.push_back(std::make_unique<TQBListItem>(this, usage, dataType, std::move(name)));
    return FItems.back().get();
}

void TQBTable::SetCreationLines(int visibleLines) {
    FVisibleLines = visibleLines;
    FHeight = FVisibleLines * (FLineHeight + 1) + FCaptionHeight + FBorder + 2 * FMargin;
}

void TQBTable::SetAlias(std::string alias) {
    FAlias = std::move(alias);
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -FWorkArea->ScrollX(), -FWorkArea->ScrollY()));
}

std::string TQBTable::Key() const { return Trim(FAlias).empty() ? FName : FAlias; }

std::string TQBTable::Caption() const {
    if (Trim(FAlias).empty() || FAlias == FName) return FName;
    return FName + " (" + FAlias + ")";
}

TQBListItem* TQBTable::FindItem(const std::string& name) const {
    const TQBSelectParser* parser = FWorkArea->Parser();
    for (const auto& item : FItems)
        if (ModelSameName(parser, item->Name(), name)) return item.get();
    return nullptr;
}

int TQBTable::IndexOfItem(const TQBListItem* item) const {
    for (int i = 0; i < ItemCount(); ++i)
        if (FItems[i].get() == item) return i;
    return -1;
}

int TQBTable::CaptionFitWidth() const {
    QFont bold = FWorkArea->Font();
    bold.setBold(true);
    const std::string caption = Caption().empty() ? std::string(" ") : Caption();
    const int textWidth = QFontMetrics(bold).horizontalAdvance(QString::fromStdString(caption));
    return FWidth - CaptionTextRect().Width() + textWidth + 2;
}

// --- box: geometry (diagram coordinates unless said otherwise) ---

TRect TQBTable::BoundsRect() const {
    return TRect{FLeft, FTop, FLeft + FWidth, FExpanded ? FTop + FHeight : FTop + FCaptionHeight};
}

TRect TQBTable::ListRect() const {
    const int bottom = BoundsRect().Bottom;
    return TRect{FLeft + FBorder + FMargin, FTop + FCaptionHeight + FMargin, FLeft + FWidth - FBorder - FMargin,
                 bottom - FBorder - FMargin};
}

TRect TQBTable::CaptionTextRect() const {
    return TRect{FLeft + FCaptionHeight + FBorder, FTop + FBorder, FLeft + FWidth - FButtonsWidth - FBorder,
                 FTop + FCaptionHeight - FBorder};
}

TRect TQBTable::ButtonsRect() const {
    return TRect{FLeft + FWidth - FBorder - FButtonsWidth, FTop + FBorder, FLeft + FWidth - FBorder,
                 FTop + FCaptionHeight};
}

TRect TQBTable::CheckBoxRect() const {
    return TRect{FLeft + FBorder + 4, FTop + FBorder + 2, FLeft + FBorder + 16, FTop + FBorder + 14};
}

TRect TQBTable::CheckBoxHitRect() const {
    return TRect{FLeft + FBorder + 2, FTop + FBorder + 2, FLeft + FBorder + 14, FTop + FBorder + 14};
}

TRect TQBTable::ButtonRect(int index) const {
    const TRect b = ButtonsRect();
    const int x = b.Left + index * (ButtonSize + 1);
    const int y = b.Top + (b.Height() - ButtonSize - 2) / 2;
    return TRect{x, y, x + ButtonSize + 2, y + ButtonSize + 2};  // frame around the bitmap
}

int TQBTable::ButtonAt(int x) const {
    const TRect b = ButtonsRect();
    if (x < b.Left + ButtonSize + 1) return 0;
    if (x > b.Right - ButtonSize - 2) return 2;
    return 1;
}

TRect TQBTable::ItemRect(const TQBListItem* item) const {
    const int i = IndexOfItem(item);
    if (i < 0) return TRect{};
    const int left = FLeft - FWorkArea->ScrollX();
    const int top = FTop - FWorkArea->ScrollY() + FCaptionHeight + 1 + (i - FTopIndex) * (FLineHeight + 1);
    return TRect{left + FBorder + FMargin, top, left + FWidth - FBorder - FMargin, top + FLineHeight};
}

TRect TQBTable::ItemLinkRect(const TQBListItem* item) const {
    const int i = IndexOfItem(item);
    if (i < 0) return TRect{};
    const TRect bounds = BoundsRect();
    TRect r{FLeft, 0, FLeft + FWidth, 0};
    if (!FExpanded) {
        r.Top = bounds.Top;
        r.Bottom = bounds.Bottom;
    } else if (i < FTopIndex) {
        r.Top = FTop;
        r.Bottom = FTop + FCaptionHeight;
    } else if (i > FTopIndex + FVisibleLines) {
        r.Top = bounds.Bottom - FBorder;
        r.Bottom = bounds.Bottom;
    } else {
        r.Top = FTop + FCaptionHeight + 1 + (i - FTopIndex) * (FLineHeight + 1);
        r.Bottom = i == FTopIndex + FVisibleLines ? FTop + FHeight - FBorder - FMargin : r.Top + FLineHeight;
    }
    return r;
}

int TQBTable::RecalcVisibleLines(int height) const {
    return std::max(0, (height - FCaptionHeight - FBorder - 2 * FMargin - 1) / (FLineHeight + 1));
}

// --- box: invalidation ---

void TQBTable::InvalidateItem(const TQBListItem* item, TItemPart part) const {
    if (!FExpanded) return;
    TRect r = ItemRect(item);
    if (IsEmptyRect(r)) return;
    if (part == TItemPart::CheckCell) r.Right = r.Left + FLineHeight;
    if (part == TItemPart::Text) r.Left += FLineHeight;
    // Only the part inside the list shows.
    const TRect list = OffsetRect(ListRect(), -FWorkArea->ScrollX(), -FWorkArea->ScrollY());
    r = TRect{std::max(r.Left, list.Left), std::max(r.Top, list.Top), std::min(r.Right, list.Right),
              std::min(r.Bottom + 1, list.Bottom)};
    FWorkArea->InvalidateRect(r);
}

void TQBTable::InvalidateButton(int index) const {
    if (index < 0 || index > 2) return;
    FWorkArea->InvalidateRect(OffsetRect(ButtonRect(index), -FWorkArea->ScrollX(), -FWorkArea->ScrollY()));
}

TColor TQBTable::GetClientColor() const { return FWorkArea->Palette().GetTableClient(); }

// --- box: hit test and mouse ---

int TQBTable::HitTest(const TPoint& point) const {
    const int x = point.X + FWorkArea->ScrollX(), y = point.Y + FWorkArea->ScrollY();
    const TRect b = BoundsRect();
    if (!b.Contains(TPoint{x, y})) return hcNone;
    if (FExpanded) {
        const bool left = FLeft <= x && x < FLeft + 4;
        const bool right = x <= FLeft + FWidth && FLeft + FWidth < x + 4;
        const bool top = FTop <= y && y < FTop + 4;
        const bool bottom = y <= FTop + FHeight && FTop + FHeight < y + 4;
        if (left) return top ? hcTopLeft : bottom ? hcBottomLeft : hcLeft;
        if (right) return top ? hcTopRight : bottom ? hcBottomRight : hcRight;
        if (top) return hcTop;
        if (bottom) return hcBottom;
    }
    if (y >= FTop + FCaptionHeight) return hcList;
    if (ButtonsRect().Contains(TPoint{x, y})) return hcButtons;
    if (CheckBoxHitRect().Contains(TPoint{x, y})) return hcCheckBox;
    return hcCaption;
}

TQBListItem* TQBTable::ItemAtPoint(int screenY) const {
    const int last = std::min(ItemCount() - 1, FTopIndex + FVisibleLines);
    for (int i = FTopIndex; i <= last; ++i)
        if (ItemRect(FItems[i].get()).Bottom > screenY) return FItems[i].get();
    return nullptr;
}

TQBListItem* TQBTable::ItemAtY(int y) const {
    const int end = std::min(ItemCount(), FTopIndex + FVisibleLines);
    for (int i = FTopIndex; i < end; ++i)
        if (ItemRect(FItems[i].get()).Bottom > y) return FItems[i].get();
    return nullptr;
}

void TQBTable::SetFocusedItem(TQBListItem* item) {
    if (FFocusedItem == item) return;
    if (FFocusedItem) InvalidateItem(FFocusedItem, TItemPart::All);
    FFocusedItem = item;
    if (item) InvalidateItem(item, TItemPart::All);
}

static void MakeRelative(TQBMouseMessage& msg, const TQBTable& box) {
    msg.X -= box.Left() - box.WorkArea()->ScrollX();
    msg.Y -= box.Top() - box.WorkArea()->ScrollY();
}

void TQBTable::MouseDown(TQBMouseMessage& msg, int hitCode) {
    const int x = msg.X + FWorkArea->ScrollX();
    if (hitCode == hcCheckBox) {
        CheckAll(FCheckState == 2 ? 0 : 2);
    } else if (hitCode == hcButtons) {
        FPressedButton = ButtonAt(x);
        FHotButton = FPressedButton;
        InvalidateButton(FPressedButton);
    } else if (hitCode == hcList) {
        if (FFocusedItem) InvalidateItem(FFocusedItem, TItemPart::All);
        FFocusedItem = nullptr;
        SetFocusedItem(ItemAtPoint(msg.Y));
    }
    MakeRelative(msg, *this);
    TQBFloatObject::MouseDown(msg, hitCode);
}

void TQBTable::MouseMove(TQBMouseMessage& msg, int hitCode) {
    const int x = msg.X + FWorkArea->ScrollX(), y = msg.Y + FWorkArea->ScrollY();
    const bool leftDown = (msg.Buttons & Qt::LeftButton) != 0;
    FHint.clear();
    if (hitCode == hcButtons && FActive) {
        const int e = ButtonsRect().Contains(TPoint{x, y}) ? ButtonAt(x) : -1;
        static const char* const hints[] = {QBResource::SCollapseExpandTable, QBResource::SClearTableLinks,
                                            QBResource::SCloseTable};
        if (e >= 0) FHint = hints[e];
        if (e != FHotButton) {
            InvalidateButton(FHotButton);
            FHotButton = e;
            InvalidateButton(e);
        }
    } else if (hitCode == hcList) {
        if (FFocusedItem && FFocusedItem->IsColumn() && leftDown && msg.X > ItemRect(FFocusedItem).Left + FLineHeight) {
            // Dragging the focused column's name links it; the drag runs until the drop, and
            // the box may have been closed meanwhile.
            TQBWorkArea* area = FWorkArea;
            const std::uint64_t serial = Serial();
            area->BeginFieldDrag(this, TPoint{msg.X, msg.Y});
            if (area->ObjectBySerial(serial) != this) return;
        } else if (const TQBListItem* item = ItemAtPoint(msg.Y)) {
            FHint = item->Name() + " (" + item->TypeName() + ")";
        }
    } else if (hitCode == hcCheckBox && !leftDown) {
        FHint = FCheckState == 2 ? QBResource::SUncheckAllFields : QBResource::SCheckAllFields;
    } else if (hitCode == hcCaption && !leftDown) {
        FHint = QBResource::SDblClickEditAlias;
    }
    MakeRelative(msg, *this);
    TQBFloatObject::MouseMove(msg, hitCode);
}

void TQBTable::MouseUp(TQBMouseMessage& msg, int hitCode) {
    const int x = msg.X + FWorkArea->ScrollX();
    if (hitCode == hcButtons) {
        const int pressed = FPressedButton;
        FPressedButton = -1;
        InvalidateButton(pressed);
        if (ButtonAt(x) == pressed) {
            if (pressed == 2) {
                Close();  // the box leaves the surface: touch nothing of it any more
                return;
            }
            if (pressed == 1) ClearLinks();
            if (pressed == 0) SetExpanded(!FExpanded);
        }
    } else if (hitCode == hcList) {
        TQBListItem* item = ItemAtPoint(msg.Y);
        if (item && item == FFocusedItem && item->IsColumn()) {
            const TRect r = ItemRect(item);
            if (r.Left <= msg.X && msg.X < r.Left + FLineHeight) {
                item->SetChecked(!item->Checked());
                item->SetCheckedQuietly(item->Checked());
            }
        }
    }
    MakeRelative(msg, *this);
    TQBFloatObject::MouseUp(msg, hitCode);
}

void TQBTable::MouseLeave(TQBMouseMessage&, int hitCode) {
    if (hitCode == hcButtons && FActive && FHotButton != -1) {
        InvalidateButton(FHotButton);
        FHotButton = -1;
    }
}

void TQBTable::DblClick(TQBMouseMessage&, int hitCode) {
    if (hitCode == hcCaption) {
        EditAlias();
    } else if (hitCode == hcList && FFocusedItem) {
        TQBListItem* item = FFocusedItem;
        if (item->IsParameter())
            EnterParameter(item);
        else
            item->SetChecked(!item->Checked());
        item->SetCheckedQuietly(item->Checked());
    }
}

void TQBTable::EnterParameter(TQBListItem* item) {
    if (!item->FBusy) FWorkArea->EnterProcParameter(this, item);
}

// --- box: keys and search ---

void TQBTable::FocusTarget(int target) {
    if (target < FTopIndex + FVisibleLines && target >= FTopIndex) {
        // already visible
    } else if (target >= FTopIndex + FVisibleLines) {
        ScrollTo(FTopIndex + target - (FTopIndex + FVisibleLines) + 1);
    } else {
        ScrollTo(target);
    }
    UpdateScrollBar();
    SetFocusedItem(FItems[target].get());
}

void TQBTable::KeyDown(int& key, TShiftState shift) {
    if (FWorkArea->ActiveObject() != this) return;
    TQBFloatObject::KeyDown(key, shift);
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (FFocusedItem) {
            // A parameter line's picture shows whether it has a value: the keys ask for one.
            if (FFocusedItem->IsParameter())
                EnterParameter(FFocusedItem);
            else
                FFocusedItem->SetChecked(!FFocusedItem->Checked());
            FFocusedItem->SetCheckedQuietly(FFocusedItem->Checked());
        }
        return;
    }
    const bool navigation = key == Qt::Key_Right || key == Qt::Key_Down || key == Qt::Key_Left ||
                            key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
                            key == Qt::Key_End || key == Qt::Key_Home;
    if (navigation) {
        if (FItems.empty()) return;  // nothing to move to
        const int index = IndexOfItem(FFocusedItem);
        int target = FTopIndex;
        if (index >= 0) {
            switch (key) {
                case Qt::Key_Right: case Qt::Key_Down: target = index + 1; break;
                case Qt::Key_Left: case Qt::Key_Up: target = index - 1; break;
                case Qt::Key_PageUp: target = index + 1 - FVisibleLines; break;
                case Qt::Key_PageDown: target = index + FVisibleLines - 1; break;
                case Qt::Key_End: target = ItemCount() - 1; break;
                default: target = 0; break;
            }
        }
        target = std::clamp(target, 0, ItemCount() - 1);
        if (target != index) FocusTarget(target);
        return;
    }
    if (key >= 0x30 && key <= 0x5A) {
        if (FWorkArea->ActiveObject() != this) FWorkArea->ActivateObject(this);
        QLineEdit* search = FWorkArea->SearchEdit();
        const TRect b = OffsetRect(BoundsRect(), -FWorkArea->ScrollX(), -FWorkArea->ScrollY());
        search->move(b.Left, b.Bottom + 1);
        search->setText(QString(QChar(key)).toLower());
        search->setCursorPosition(1);
        search->show();
        search->setFocus();
        SearchKeyUp(key);
    }
}

void TQBTable::SearchKeyUp(int key) {
    QLineEdit* search = FWorkArea->SearchEdit();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Down ||
        key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        search->hide();
        return;
    }
    const std::string text = UpperCase(search->text().toStdString());
    for (int i = 0; i < ItemCount(); ++i) {
        if (UpperCase(FItems[i]->Name()).rfind(text, 0) == 0) {
            if (FItems[i].get() != FFocusedItem) FocusTarget(i);
            return;
        }
    }
}

// --- box: popup menu, commands ---

void TQBTable::BuildPopup(QMenu& menu, int, int hitCode, int) {
    if (hitCode != hcCaption) return;
    TQBWorkArea* area = FWorkArea;
    const std::uint64_t serial = Serial();
    // The commands find the box again by serial: it may be gone when they run.
    menu.addAction(QString::fromUtf8(QBResource::SDeleteTable), area->Guarded([area, serial] {
        if (auto* box = dynamic_cast<TQBTable*>(area->ObjectBySerial(serial))) box->Close();
    }));
    menu.addSeparator();
    menu.addAction(QString::fromUtf8(QBResource::SRenameTable), area->Guarded([area, serial] {
        if (auto* box = dynamic_cast<TQBTable*>(area->ObjectBySerial(serial))) box->EditAlias();
    }));
}

void TQBTable::EditAlias() {
    if (!FWorkArea->ActiveObject()) return;
    FWorkArea->ActivateObject(this);
    QLineEdit* edit = FWorkArea->AliasEdit();
    const TRect r = OffsetRect(CaptionTextRect(), -FWorkArea->ScrollX(), -FWorkArea->ScrollY());
    edit->setGeometry(r.Left, r.Top + 1, r.Width(), r.Height());
    edit->setText(QString::fromStdString(Key()));
    edit->show();
    edit->setFocus();
}

void TQBTable::SetCheckState(int state) {
    state = std::clamp(state, 0, 2);
    if (state == FCheckState) return;
    FWorkArea->InvalidateRect(TRect{FLeft - FWorkArea->ScrollX(), FTop - FWorkArea->ScrollY(),
                                    FLeft - FWorkArea->ScrollX() + FCaptionHeight,
                                    FTop - FWorkArea->ScrollY() + FCaptionHeight});
    FCheckState = state;
}

void TQBTable::RecalcCheckState() {
    int ticked = 0, columns = 0;
    for (const auto& item : FItems) {
        if (!item->IsColumn()) continue;
        ++columns;
        if (item->Checked()) ++ticked;
    }
    SetCheckState(ticked == 0 ? 0 : ticked == columns ? 2 : 1);
}

void TQBTable::CheckAll(int state) {
    SetCheckState(state);
    for (const auto& item : FItems)
        if (item->IsColumn()) item->SetChecked(state == 2);
}

void TQBTable::Close() {
    // Ask first: a refused close must leave the box and the model as they were, not a box
    // whose columns and table the model has already forgotten.
    if (!FWorkArea->Owner()->DoAddRemoveTable(this, qbaRemove)) return;
    FClosing = true;
    for (const auto& item : FItems) {
        if (!item->Checked()) continue;
        item->SetCheckedQuietly(false);
        FWorkArea->DoFieldCheckChanged(this, item.get());
    }
    FWorkArea->DoTableRemoved(this);
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -FWorkArea->ScrollX(), -FWorkArea->ScrollY()));
    FWorkArea->RemoveTable(this, true);
}

void TQBTable::ClearLinks() { FWorkArea->RemoveTableLinks(this); }

// --- box: activation, scroll bar, scrolling ---

void TQBTable::SetActive(bool value) {
    TQBFloatObject::SetActive(value);
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -FWorkArea->ScrollX(), -FWorkArea->ScrollY()));
    if (value && UpdateScrollBar())
        FWorkArea->ListScrollBar()->show();
    else
        FWorkArea->ListScrollBar()->hide();
}

bool TQBTable::UpdateScrollBar() {
    if (!FActive || !FExpanded || FVisibleLines >= ItemCount()) return false;
    QScrollBar* bar = FWorkArea->ListScrollBar();
    const TRect list = OffsetRect(ListRect(), -FWorkArea->ScrollX(), -FWorkArea->ScrollY());
    bar->setGeometry(list.Right - FScrollBarWidth, list.Top, FScrollBarWidth, list.Height());
    const QSignalBlocker blocker(bar);
    bar->setRange(0, ItemCount() - FVisibleLines);
    bar->setPageStep(std::max(1, FVisibleLines - 1));
    bar->setValue(FTopIndex);
    return true;
}

void TQBTable::ScrollTo(int index) {
    index = std::clamp(index, 0, std::max(0, ItemCount() - FVisibleLines));
    if (index == FTopIndex) return;
    FWorkArea->InvalidateRect(OffsetRect(ListRect(), -FWorkArea->ScrollX(), -FWorkArea->ScrollY()));
    FTopIndex = index;
    FWorkArea->TableChanged(this);  // lines moved: links follow them
}

// --- box: moving and sizing ---

void TQBTable::MoveBy(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    const int sx = FWorkArea->ScrollX(), sy = FWorkArea->ScrollY();
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    FLeft += dx;
    FTop += dy;
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    if (FActive && FWorkArea->ListScrollBar()->isVisible()) UpdateScrollBar();
    FWorkArea->TableMoved(this);
}

void TQBTable::SetLeft(int x) {
    if (x != FLeft) MoveBy(x - FLeft, 0);
}

void TQBTable::SetTop(int y) {
    if (y != FTop) MoveBy(0, y - FTop);
}

void TQBTable::MoveTo(const TRect& rect) {
    if (rect.Left != FLeft || rect.Top != FTop) MoveBy(rect.Left - FLeft, rect.Top - FTop);
}

void TQBTable::SetWidth(int w) {
    w = std::max(w, FCaptionHeight + FButtonsWidth + 20);
    if (w == FWidth) return;
    const int sx = FWorkArea->ScrollX(), sy = FWorkArea->ScrollY();
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    FWidth = w;
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    if (FActive && FWorkArea->ListScrollBar()->isVisible()) UpdateScrollBar();
    FWorkArea->TableChanged(this);
}

void TQBTable::SetHeight(int h) {
    h = std::max(h, 2 * FLineHeight + FCaptionHeight + 4);
    if (h == FHeight) return;
    const int sx = FWorkArea->ScrollX(), sy = FWorkArea->ScrollY();
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    FHeight = h;
    FVisibleLines = RecalcVisibleLines(h);
    if (ItemCount() < FVisibleLines + FTopIndex) ScrollTo(ItemCount() - FVisibleLines);
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    if (FActive) FWorkArea->ListScrollBar()->setVisible(UpdateScrollBar());
    FWorkArea->TableChanged(this);
}

void TQBTable::ResizeLeft(int dx) {
    dx = std::min(dx, FWidth - (FCaptionHeight + FButtonsWidth + 20));
    if (dx == 0) return;
    const int sx = FWorkArea->ScrollX(), sy = FWorkArea->ScrollY();
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    FLeft += dx;
    FWidth -= dx;
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    if (FActive) FWorkArea->ListScrollBar()->setVisible(UpdateScrollBar());
    FWorkArea->TableChanged(this);
}

void TQBTable::ResizeTop(int dy) {
    dy = std::min(dy, FHeight - (FCaptionHeight + 2 * FLineHeight + 4));
    if (dy == 0) return;
    const int sx = FWorkArea->ScrollX(), sy = FWorkArea->ScrollY();
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    FTop += dy;
    FHeight -= dy;
    FVisibleLines = RecalcVisibleLines(FHeight);
    if (ItemCount() < FVisibleLines + FTopIndex) ScrollTo(ItemCount() - FVisibleLines);
    FWorkArea->InvalidateRect(OffsetRect(BoundsRect(), -sx, -sy));
    if (FActive) FWorkArea->ListScrollBar()->setVisible(UpdateScrollBar());
    FWorkArea->TableChanged(this);
}

void TQBTable::SetExpanded(bool value) {
    if (value == FExpanded) return;
    const int sx = FWorkArea->ScrollX(), sy = FWorkArea->ScrollY();
    const TRect before = BoundsRect();
    FExpanded = value;
    FWorkArea->InvalidateRect(OffsetRect(UnionRect(before, BoundsRect()), -sx, -sy));
    if (FActive) FWorkArea->ListScrollBar()->setVisible(value && UpdateScrollBar());
    FWorkArea->TableChanged(this);
}
