// The work area: object lists, placement and keys, removal, painting and input dispatch.
#include "diagram/QBFloatPanel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "diagram/QBColor.h"
#include "diagram/QBAppearance.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBGeometry.h"
#include "diagram/QBImages.h"
#include "diagram/QBLinkProp.h"
#include "diagram/QBLinks.h"
#include "diagram/QBModelLink.h"
#include "lexer/QBScanner.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

std::uint64_t NextSerial() {
    static std::uint64_t serial = 0;
    return ++serial;
}

// The owner check runs before the widget is built, so a missing owner creates nothing.
QWidget* CheckedParent(QWidget* parent, const TQBWorkAreaOwner* owner) {
    if (!owner) throw EQBException(QBResource::SInvalidWorkAreaParent);
    return parent;
}

}  // namespace

// --- mouse message ---

TMouseButton TQBMouseMessage::Button() const {
    TMouseButton button = mbLeft;
    if (Buttons & Qt::LeftButton) button = mbLeft;
    if (Buttons & Qt::RightButton) button = mbRight;
    if (Buttons & Qt::MiddleButton) button = mbMiddle;
    return button;
}

TShiftState TQBMouseMessage::Shift() const {
    TShiftState shift;
    if (Buttons & Qt::LeftButton) shift.Include(ssLeft);
    if (Buttons & Qt::RightButton) shift.Include(ssRight);
    if (Buttons & Qt::MiddleButton) shift.Include(ssMiddle);
    if (Modifiers & Qt::ControlModifier) shift.Include(ssCtrl);
    if (Modifiers & Qt::ShiftModifier) shift.Include(ssShift);
    return shift;
}

// --- floating object ---

TQBFloatObject::TQBFloatObject(TQBWorkArea* workArea) : FWorkArea(workArea), FSerial(NextSerial()) {}

void TQBFloatObject::SetActive(bool value) {
    FActive = value;
    if (value && FWorkArea) {
        if (auto* box = dynamic_cast<TQBTable*>(this)) FWorkArea->BringToFront(box);
    }
}

void TQBFloatObject::MouseDown(TQBMouseMessage& msg, int) {
    if (OnMouseDown) OnMouseDown(this, msg.Button(), msg.Shift(), msg.X, msg.Y);
    msg.Handled = true;
}

void TQBFloatObject::MouseMove(TQBMouseMessage& msg, int) {
    if (OnMouseMove) OnMouseMove(this, msg.Shift(), msg.X, msg.Y);
    msg.Handled = true;
}

void TQBFloatObject::MouseUp(TQBMouseMessage& msg, int) {
    if (OnMouseUp) OnMouseUp(this, msg.Button(), msg.Shift(), msg.X, msg.Y);
    msg.Handled = true;
}

void TQBFloatObject::KeyDown(int& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TQBFloatObject::KeyUp(int& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TQBFloatObject::MouseLeave(TQBMouseMessage&, int) {}

// --- arrangements ---

int TQBObjectArrangements::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i).Name == name) return i;
    return -1;
}

// --- work area: creation ---

TQBWorkArea::TQBWorkArea(QWidget* parent, TQBWorkAreaOwner* owner)
    : QAbstractScrollArea(CheckedParent(parent, owner)),
      FOwner(owner),
      FPopupMenu(std::make_unique<QMenu>()) {
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);

    FFont = QApplication::font();
    FFont.setPixelSize(FFontHeight);
    FDragCursor = QCursor(QBImage("DragCursor", devicePixelRatioF()), 1, 1);

    FListScrollBar = new QScrollBar(Qt::Vertical, viewport());
    FListScrollBar->hide();
    FListScrollBar->setFocusPolicy(Qt::NoFocus);
    connect(FListScrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (auto* box = dynamic_cast<TQBTable*>(FActiveObject)) ScrollList(box, value);
    });

    FAliasEdit = new QLineEdit(viewport());
    FAliasEdit->hide();
    FAliasEdit->setFrame(false);
    FAliasEdit->setFont(FFont);
    FAliasEdit->installEventFilter(this);
    QPalette aliasPalette = FAliasEdit->palette();
    aliasPalette.setColor(QPalette::Base, ColorToQColor(Palette().GetActiveCaption()));
    FAliasEdit->setPalette(aliasPalette);

    FSearchEdit = new QLineEdit(viewport());
    FSearchEdit->hide();
    FSearchEdit->setFixedHeight(FFontHeight + 6);
    FSearchEdit->setFont(FFont);
    FSearchEdit->installEventFilter(this);
    connect(FSearchEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            FSearchEdit->hide();
            return;
        }
        FSearchEdit->resize(FSearchEdit->fontMetrics().horizontalAdvance(text) + 20, FSearchEdit->height());
    });
    viewport()->setAcceptDrops(true);
    auto makeTimer = [this](int id) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { TimerFired(id); });
        return timer;
    };
    FListUpTimer = makeTimer(tmListUp);
    FListDownTimer = makeTimer(tmListDown);
    FHintTimer = makeTimer(tmHintDelay);
    FHintHideTimer = makeTimer(tmHintHide);
    FHintWindow = new QLabel(this, Qt::ToolTip);
    FHintWindow->setWordWrap(true);
    FHintWindow->setMargin(2);
    FHintWindow->setForegroundRole(QPalette::ToolTipText);
    FHintWindow->setBackgroundRole(QPalette::ToolTipBase);
    FHintWindow->setAutoFillBackground(true);
    FHintWindow->hide();

    FLinkProp = new TfmLinkProp(this);
    if (const TQBSelectParser* parser = Parser()) {
        FLinkProp->FAllowFullOuter = parser->SupportsFullOuterJoin();
        if (parser->GetScanner()) FLinkProp->SetConditions(parser->GetScanner()->GetCriterionOperatorsText());
    }
    UpdateScrollRanges();
}

TQBWorkArea::~TQBWorkArea() {
    // No focus-out commit of the in-place editors may reach the owner during teardown.
    FAliasEdit->removeEventFilter(this);
    FSearchEdit->removeEventFilter(this);
    OnTableKeyChanged = nullptr;
    FActiveObject = nullptr;
    FHotObject = nullptr;
    FLinkProp->Subject = nullptr;
    ClearDropState();
    // Links go through RemoveLink so that their join definitions leave the model too.
    while (!FLinks.empty()) RemoveLink(FLinks.front().get(), 0, false);
    FJoins.clear();
    FTables.clear();
    FRemoved.clear();
}

TQBSelectParser* TQBWorkArea::Parser() const { return FOwner->Parser(); }

const TQBPalette& TQBWorkArea::Palette() const { return FOwner->Palette(); }

const TQBObjectStyle& TQBWorkArea::ObjectStyle() const { return FOwner->ObjectStyle(); }

TQBOptions TQBWorkArea::Options() const { return FOwner->Options(); }

int TQBWorkArea::ScrollX() const { return horizontalScrollBar()->value(); }
int TQBWorkArea::ScrollY() const { return verticalScrollBar()->value(); }

void TQBWorkArea::UpdateScrollRanges() {
    const QSize size = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, SurfaceSize - size.width()));
    horizontalScrollBar()->setPageStep(size.width());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, SurfaceSize - size.height()));
    verticalScrollBar()->setPageStep(size.height());
    verticalScrollBar()->setSingleStep(20);
}

void TQBWorkArea::InvalidateRect(const TRect& screenRect) {
    if (!IsEmptyRect(screenRect)) viewport()->update(ToQRect(screenRect));
}

void TQBWorkArea::InvalidateRegion(const QRegion& screenRegion) {
    if (!screenRegion.isEmpty()) viewport()->update(screenRegion);
}

void TQBWorkArea::ResumePaint() {
    FUpdating = false;
    viewport()->update();
}

// --- lists and keys ---

int TQBWorkArea::IndexOfTable(const TQBFloatObject* object) const {
    for (int i = 0; i < TableCount(); ++i)
        if (FTables[i].get() == object) return i;
    return -1;
}

int TQBWorkArea::IndexOfLink(const TQBFloatObject* object) const {
    for (int i = 0; i < LinkCount(); ++i)
        if (FLinks[i].get() == object) return i;
    return -1;
}

bool TQBWorkArea::SameKey(const std::string& a, const std::string& b) const {
    return ModelSameName(Parser(), a, b);
}

TQBTable* TQBWorkArea::TableByKey(const std::string& key) const {
    if (Trim(key).empty()) return FTables.size() == 1 ? FTables.front().get() : nullptr;
    for (const auto& box : FTables)
        if (SameKey(box->Key(), key)) return box.get();
    return nullptr;
}

std::string TQBWorkArea::MakeUniqueKey(const std::string& base, const std::string& prefix) const {
    std::string result = base;
    std::string stem = base;
    for (std::size_t dot = stem.find('.'); dot != std::string::npos; dot = stem.find('.')) {
        if (dot + 1 == stem.size())
            stem.erase(dot, 1);
        else
            stem.erase(0, dot + 1);
    }
    const TQBSelectParser* parser = Parser();
    if (parser && parser->GetScanner()) {
        for (std::size_t i = stem.size(); i-- > 0;)
            if (parser->GetScanner()->IsIdentQuote(stem[i])) stem.erase(i, 1);
    }
    if (Trim(stem).empty()) stem = (parser && parser->LowerCaseAliases() ? LowerCase(prefix) : prefix) + "1";
    int counter = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto& box : FTables) {
            if (SameKey(box->Key(), result)) {
                result = stem + std::to_string(++counter);
                found = true;
                break;
            }
        }
    }
    return result;
}

void TQBWorkArea::BringToFront(TQBTable* box) {
    const int i = IndexOfTable(box);
    if (i <= 0) return;
    std::rotate(FTables.begin(), FTables.begin() + i, FTables.begin() + i + 1);
}

void TQBWorkArea::DeactivateAll() {
    for (const auto& box : FTables)
        if (box->Active()) box->SetActive(false);
    for (const auto& link : FLinks)
        if (link->Active()) link->SetActive(false);
}

TQBFloatObject* TQBWorkArea::ObjectBySerial(std::uint64_t serial) const {
    for (const auto& box : FTables)
        if (box->Serial() == serial) return box.get();
    for (const auto& link : FLinks)
        if (link->Serial() == serial) return link.get();
    return nullptr;
}

void TQBWorkArea::ActivateObject(TQBFloatObject* object) {
    if (FActiveObject == object) return;
    if (FActiveObject) FActiveObject->SetActive(false);
    FActiveObject = object;
    if (object) object->SetActive(true);
}

// --- boxes ---

TQBTable* TQBWorkArea::AddTable(const std::string& tableName, const std::string& alias,
                                TDataSet* dataSet) {
    return InsertTable(tableName, alias, TPoint{0, 0}, true, dataSet);
}

TQBTable* TQBWorkArea::InsertTable(const std::string& tableName, const std::string& alias,
                                   TPoint position, bool autoPlace, TDataSet* dataSet) {
    return InsertBox(tableName, alias, "TABLE_", position, autoPlace,
                     [&] { return std::make_unique<TQBTable>(this, tableName, dataSet); });
}

TQBTable* TQBWorkArea::InsertBox(const std::string& name, const std::string& alias, const char* keyPrefix,
                                 TPoint position, bool autoPlace,
                                 const std::function<std::unique_ptr<TQBTable>()>& make) {
    const std::string key = MakeUniqueKey(Trim(alias).empty() ? name : alias, keyPrefix);
    if (FActiveObject) FActiveObject->SetActive(false);

    std::unique_ptr<TQBTable> box = make();
    if (key != name) box->SetAlias(key);
    if (!FOwner->DoAddRemoveTable(box.get(), qbaAdd)) return nullptr;
    if (box->CaptionFitWidth() > box->Width()) box->SetWidth(box->CaptionFitWidth());

    TRect r = box->BoundsRect();
    // Remembered places are found by key the way the model compares names.
    int found = -1;
    for (int i = 0; i < FArrangements.Count() && found < 0; ++i)
        if (SameKey(FArrangements.Items(i).Name, box->Key())) found = i;
    if (found < 0) {
        r = OffsetRect(r, 50, 20);
    } else {
        const TQBObjectArrangement& a = FArrangements.Items(found);
        r.Right = r.Left + a.Width - 1;
        r.Bottom = r.Top + a.Height - 1;
        r = OffsetRect(r, a.Left, a.Top);
        box->SetExpanded(a.Expanded);
    }
    if (autoPlace) {
        // Shift right past every box in the way; a place beyond the surface's right edge
        // starts a new row below everything already placed.
        for (bool moved = true; moved;) {
            moved = false;
            for (const auto& other : FTables) {
                const TRect b = other->BoundsRect();
                if (!Intersects(b, r)) continue;
                r = OffsetRect(r, b.Right + 10 - r.Left, 0);
                if (r.Right + 1 > SurfaceSize) {
                    int bottom = 0;
                    for (const auto& placed : FTables) bottom = std::max(bottom, placed->BoundsRect().Bottom);
                    r = OffsetRect(r, 50 - r.Left, bottom + 20 - r.Top);
                }
                moved = true;
                break;
            }
        }
    } else {
        r = OffsetRect(r, position.X - r.Left, position.Y - r.Top);
    }
    // Keep the box on the surface (it ends one pixel right of and below R).
    if (r.Right + 1 > SurfaceSize) r = OffsetRect(r, SurfaceSize - r.Right - 1, 0);
    if (r.Bottom + 1 > SurfaceSize) r = OffsetRect(r, 0, SurfaceSize - r.Bottom - 1);
    if (r.Top < 0) r = OffsetRect(r, 0, -r.Top);
    if (r.Left < 0) r = OffsetRect(r, -r.Left, 0);

    TQBTable* result = box.get();
    FTables.insert(FTables.begin(), std::move(box));
    result->MoveTo(r);
    result->SetWidth(r.Right - r.Left + 1);
    result->SetHeight(r.Bottom - r.Top + 1);
    if (OnTableAdded) OnTableAdded(this, result);
    result->SetActive(true);
    FActiveObject = result;
    return result;
}

std::unique_ptr<TQBTable> TQBWorkArea::TakeTable(TQBTable* box) {
    const int i = IndexOfTable(box);
    if (i < 0) return nullptr;
    std::unique_ptr<TQBTable> owned = std::move(FTables[i]);
    FTables.erase(FTables.begin() + i);
    return owned;
}

void TQBWorkArea::RemoveTable(TQBTable* box, bool asked) {
    if (!asked && !FOwner->DoAddRemoveTable(box, qbaRemove)) return;
    RemoveTableLinks(box);
    if (IndexOfTable(box) < 0) return;
    if (box->Active()) FListScrollBar->hide();
    std::unique_ptr<TQBTable> owned = TakeTable(box);
    ForgetBox(box);
    if (FActiveObject == box) {
        box->SetActive(false);
        FActiveObject = nullptr;
    }
    // The box may be inside its own handler (its close button, its menu): free it later.
    FRemoved.push_back(std::move(owned));
    if (!FFlushPosted) {
        FFlushPosted = true;
        QMetaObject::invokeMethod(this, [this] { FlushRemoved(); }, Qt::QueuedConnection);
    }
}

void TQBWorkArea::FlushRemoved() {
    FFlushPosted = false;
    FRemoved.clear();
}

void TQBWorkArea::RemoveTableLinks(TQBTable* box) {
    for (int i = 0; i < LinkCount();) {
        TQBJoin* join = FLinks[i]->Join();
        if (join->Table0 == box || join->Table1 == box)
            RemoveLink(FLinks[i].get(), i, true);
        else
            ++i;
    }
}

void TQBWorkArea::Clear() {
    FHotObject = nullptr;
    FActiveObject = nullptr;
    FHitCode = hcNone;
    FLinkProp->Subject = nullptr;
    ClearDropState();
    HideHint();
    FListScrollBar->hide();
    FAliasEdit->hide();
    FSearchEdit->hide();
    FBandLink = nullptr;
    FLinks.clear();
    FJoins.clear();
    FArrangements.Clear();
    for (auto& box : FTables) {
        TQBObjectArrangement& a = FArrangements.Add();
        a.Name = box->Key();
        a.Left = box->Left();
        a.Top = box->Top();
        a.Width = box->Width();
        a.Height = box->Height();
        a.Expanded = box->Expanded();
    }
    FTables.clear();
}

void TQBWorkArea::ChangeAlias(const std::string& text) {
    auto* box = dynamic_cast<TQBTable*>(FActiveObject);
    if (!box) return;
    const std::string oldKey = box->Key();
    std::string alias = text == box->Name() ? std::string() : text;
    alias.erase(std::remove(alias.begin(), alias.end(), '.'), alias.end());
    // Both the text as typed and the key the box would end up with must be free: "a.b"
    // becomes "ab", and a cleared alias makes the name the key.
    const std::string newKey = Trim(alias).empty() ? box->Name() : alias;
    for (const std::string& candidate : {text, newKey}) {
        for (const auto& other : FTables)
            if (other.get() != box && SameKey(other->Key(), candidate))
                throw EQBException(std::string(QBResource::STableAlias) + " " + candidate + " " +
                                   QBResource::SAlreadyExists);
    }
    box->SetAlias(alias);
    if (OnTableKeyChanged) OnTableKeyChanged(box, oldKey);
}

bool TQBWorkArea::RunModal(QDialog& dialog) { return RunDialog(dialog, ModalHook); }

bool TQBWorkArea::Confirm(const QString& caption, const QString& text) {
    if (ConfirmHook) return ConfirmHook(caption, text);
    return QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
}

void TQBWorkArea::DoFieldCheckChanged(TQBTable* box, TQBListItem* item) {
    if (OnFieldCheckChanged) OnFieldCheckChanged(box, item);
}

void TQBWorkArea::DoTableRemoved(TQBTable* box) {
    if (OnTableRemoved) OnTableRemoved(this, box);
}

void TQBWorkArea::DoLinkSelected(TQBLink* link, bool active) {
    if (OnLinkSelected)
        OnLinkSelected(this, link->Item0()->Table(), link->Item1()->Table(), link->Item0(), link->Item1(), active);
}

// --- box changes: re-route and repaint links ---

void TQBWorkArea::InvalidateBoxLinks(TQBTable* box, bool partial) {
    for (const auto& link : FLinks) {
        const TQBJoin* join = link->Join();
        if (join->Table0 != box && join->Table1 != box) continue;
        const int kind = !partial || link->PointCount() == 4 ? 0 : (join->Table1 == box ? 2 : 1);
        InvalidateRegion(link->RepaintRegion(kind));
        link->RecalcRoute();
        InvalidateRegion(link->RepaintRegion(kind));
    }
}

void TQBWorkArea::TableMoved(TQBTable* box) { InvalidateBoxLinks(box, true); }

void TQBWorkArea::TableChanged(TQBTable* box) { InvalidateBoxLinks(box, false); }

// --- links: deferred removal ---

void TQBWorkArea::PostRemoveLink(TQBLink* link) {
    const std::uint64_t serial = link->Serial();
    QMetaObject::invokeMethod(this, Guarded([this, serial] { ProcessRemoveLink(serial); }), Qt::QueuedConnection);
}

void TQBWorkArea::ProcessRemoveLink(std::uint64_t serial) {
    for (int i = 0; i < LinkCount(); ++i) {
        TQBLink* link = FLinks[i].get();
        if (link->Serial() != serial) continue;
        if (FOwner->DoAddRemoveLink(link, qbaRemove)) RemoveLink(link, i, true);
        return;
    }
}

// --- painting ---

void TQBWorkArea::paintEvent(QPaintEvent* event) {
    if (FUpdating) return;
    QPainter painter(viewport());
    PaintSurface(painter, event->region());
}

void TQBWorkArea::PaintSurface(QPainter& painter, const QRegion& dirty) {
    FLastPaintedBoxes = 0;
    FLastPaintedLinks = 0;
    const QColor background = ColorToQColor(Palette().GetWorkSpace());
    for (const QRect& r : dirty) painter.fillRect(r, background);
    const int sx = ScrollX(), sy = ScrollY();
    // Links first, boxes over them back to front: a link never shows over a box and a box
    // never over one in front of it.
    for (const auto& link : FLinks) {
        const QRect bounds = ToQRect(OffsetRect(link->Bounds(), -sx, -sy));
        if (!dirty.intersects(bounds)) continue;
        link->Paint(painter, dirty.boundingRect());
        ++FLastPaintedLinks;
    }
    for (auto it = FTables.rbegin(); it != FTables.rend(); ++it) {
        const QRect bounds = ToQRect(OffsetRect((*it)->BoundsRect(), -sx, -sy));
        if (!dirty.intersects(bounds)) continue;
        (*it)->Paint(painter, (dirty & bounds).boundingRect());
        ++FLastPaintedBoxes;
    }
    if (FBandLink && FBandPoints.size() > 1) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        QPolygon band;
        for (const TPoint& p : FBandPoints) band << ToQPoint(p);
        painter.drawPolyline(band);
        painter.restore();
    }
}

void TQBWorkArea::SetRubberBand(TQBLink* link, const std::vector<TPoint>& screenPoints) {
    auto bandRect = [this] {
        QRect r;
        for (const TPoint& p : FBandPoints) r |= QRect(p.X - 2, p.Y - 2, 5, 5);
        return r;
    };
    if (FBandLink) viewport()->update(bandRect());
    FBandLink = link;
    FBandPoints = link ? screenPoints : std::vector<TPoint>();
    if (FBandLink) viewport()->update(bandRect());
}
