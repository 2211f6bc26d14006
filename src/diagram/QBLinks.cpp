// Links and joins: routing, painting, hit testing, bend points, the link's menu, and the
// work area's link bookkeeping with the join definitions kept in the model.
#include "diagram/QBLinks.h"

#include <QMenu>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "diagram/QBFloatTable.h"
#include "diagram/QBGeometry.h"
#include "diagram/QBLinkProp.h"
#include "diagram/QBModelLink.h"
#include "lexer/QBUtils.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

// --- join ---

TQBTable* TQBJoin::Table(int index) const { return index == 0 ? Table0 : index == 1 ? Table1 : nullptr; }

std::string TQBJoin::TableName(int index) const {
    const TQBTable* table = Table(index);
    return table ? table->Name() : std::string();
}

// --- link: points and route ---

TQBLink::TQBLink(TQBWorkArea* workArea, TQBListItem* item0, TQBListItem* item1, TQBJoin* join)
    : TQBFloatObject(workArea), FJoin(join), FItem0(item0), FItem1(item1), FPoints(4) {
    RecalcRoute();
}

TPoint TQBLink::GetPoint(int index) const {
    if (index < 0 || index >= PointCount())
        throw EQBException(FormatMessage(QBResource::SInvalidIndex, std::to_string(index)));
    return TPoint{FPoints[index].X - FWorkArea->ScrollX(), FPoints[index].Y - FWorkArea->ScrollY()};
}

void TQBLink::SetPoint(int index, const TPoint& p) {
    if (index < 0 || index >= PointCount())
        throw EQBException(FormatMessage(QBResource::SInvalidIndex, std::to_string(index)));
    FPoints[index] = p;
}

void TQBLink::SetPoints(std::vector<TPoint> points) {
    if (points.size() < 4) points.resize(4);
    FPoints = std::move(points);
    RecalcRoute();
}

void TQBLink::RecalcRoute() {
    if (!FJoin->Table0 || !FJoin->Table1) {
        const TQBListItem* item = !FJoin->Table0 ? FItem0 : FItem1;
        throw EQBException(FormatMessage(QBResource::SInvalidLinkTable, item ? item->Table()->Key() : ""));
    }
    const TRect r0 = FItem0->ItemLinkRect();
    const TRect r1 = FItem1->ItemLinkRect();
    const int n = PointCount();
    const bool bends = n > 4;
    const int startRef = bends ? FPoints[2].X : r1.Right;
    if (startRef < r0.Left) {
        FPoints[0].X = r0.Left;
        FPoints[1].X = r0.Left - 10;
    } else {
        FPoints[0].X = r0.Right;
        FPoints[1].X = r0.Right + 10;
    }
    const int endRef = bends ? FPoints[n - 3].X : r0.Right;
    if (endRef < r1.Left) {
        FPoints[n - 1].X = r1.Left;
        FPoints[n - 2].X = r1.Left - 10;
    } else {
        FPoints[n - 1].X = r1.Right;
        FPoints[n - 2].X = r1.Right + 10;
    }
    FPoints[0].Y = FPoints[1].Y = r0.Top + (r0.Bottom - r0.Top) / 2;
    FPoints[n - 1].Y = FPoints[n - 2].Y = r1.Top + (r1.Bottom - r1.Top) / 2;
    TRect b{INT_MAX, INT_MAX, 0, 0};
    for (const TPoint& p : FPoints) {
        b.Left = std::min(b.Left, p.X);
        b.Top = std::min(b.Top, p.Y);
        b.Right = std::max(b.Right, p.X);
        b.Bottom = std::max(b.Bottom, p.Y);
    }
    FBounds = TRect{b.Left - 3, b.Top - 3, b.Right + 3, b.Bottom + 3};
}

std::vector<TPoint> TQBLink::ScreenPoints() const {
    const int sx = FWorkArea->ScrollX(), sy = FWorkArea->ScrollY();
    std::vector<TPoint> points;
    points.reserve(FPoints.size());
    for (const TPoint& p : FPoints) points.push_back(TPoint{p.X - sx, p.Y - sy});
    return points;
}

// --- link: repaint region ---

namespace {

// The area around one segment, two pixels each side of the line.
QRegion SegmentRegion(const TPoint& a, const TPoint& b) {
    const int dx = b.X - a.X, dy = b.Y - a.Y;
    if (dx == 0 || dy == 0)
        return QRegion(QRect(QPoint(std::min(a.X, b.X) - 2, std::min(a.Y, b.Y) - 2),
                             QPoint(std::max(a.X, b.X) + 2, std::max(a.Y, b.Y) + 2)));
    QPolygon quad;
    if (dy / dx != 0)  // steep: widen horizontally
        quad << QPoint(a.X - 3, a.Y) << QPoint(a.X + 3, a.Y) << QPoint(b.X + 3, b.Y) << QPoint(b.X - 3, b.Y);
    else
        quad << QPoint(a.X, a.Y - 3) << QPoint(a.X, a.Y + 3) << QPoint(b.X, b.Y + 3) << QPoint(b.X, b.Y - 3);
    return QRegion(quad);
}

// The 10 x 10 box around an end marker at P pointing towards Towards.
QRegion MarkerRegion(const TPoint& p, const TPoint& towards) {
    const int s = p.X < towards.X ? 1 : -1;
    return QRegion(QRect(QPoint(p.X - s, p.Y - 5), QPoint(p.X + 9 * s, p.Y + 5)).normalized().adjusted(-1, -1, 1, 1));
}

QRegion SquareAt(const TPoint& p) { return QRegion(QRect(p.X - 4, p.Y - 4, 9, 9)); }

}  // namespace

QRegion TQBLink::RepaintRegion(int kind) const {
    const std::vector<TPoint> p = ScreenPoints();
    const int n = static_cast<int>(p.size());
    QRegion region;
    if (kind == 0 || kind == 1) region += MarkerRegion(p[0], p[1]);
    if (kind == 0) {
        for (int i = 0; i + 1 < n; ++i) region += SegmentRegion(p[i], p[i + 1]);
        for (int i = 1; i <= n - 2; ++i) region += SquareAt(p[i]);
    } else if (kind == 1) {
        region += SegmentRegion(p[0], p[1]);
        region += SegmentRegion(p[1], p[2]);
        region += SquareAt(p[1]);
    } else {
        region += SegmentRegion(p[n - 3], p[n - 2]);
        region += SegmentRegion(p[n - 2], p[n - 1]);
        region += SquareAt(p[n - 2]);
    }
    if (kind == 0 || kind == 2) region += MarkerRegion(p[n - 1], p[n - 2]);
    return region;
}

void TQBLink::InvalidateBounds() const {
    FWorkArea->InvalidateRect(OffsetRect(FBounds, -FWorkArea->ScrollX(), -FWorkArea->ScrollY()));
}

// --- link: painting ---

void TQBLink::Paint(QPainter& painter, const QRect&) {
    const std::vector<TPoint> p = ScreenPoints();
    const int n = static_cast<int>(p.size());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, FActive ? 2 : 1));
    painter.setBrush(Qt::NoBrush);
    const int a = p[0].X < p[1].X ? 6 : -6, b = a > 0 ? 8 : -8;
    const int c = p[n - 2].X < p[n - 1].X ? 6 : -6, d = c > 0 ? 8 : -8;
    QPolygon line;
    line << QPoint(a > 0 ? p[0].X : p[0].X - 1, p[0].Y);
    for (int i = 1; i < n; ++i) line << ToQPoint(p[i]);
    painter.drawPolyline(line);
    for (int i = 2; i <= n - 3; ++i) painter.drawEllipse(QRect(p[i].X - 3, p[i].Y - 3, 6, 6));

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    auto dot = [&](int x0, int x1, int y) {
        painter.drawEllipse(QRectF(QPointF(std::min(x0, x1), y - 3), QPointF(std::max(x0, x1), y + 3)));
    };
    auto arrow = [&](const TPoint& tip, int back) {
        const QPoint pts[3] = {ToQPoint(tip), QPoint(tip.X + back, tip.Y - 4), QPoint(tip.X + back, tip.Y + 4)};
        painter.drawPolygon(pts, 3);
    };
    const int type = FJoin->JoinType;
    if (type >= 0 && type <= 3) {
        const bool startArrow = type == 1 || type == 3;
        const bool endArrow = type == 2 || type == 3;
        if (startArrow) arrow(p[0], b); else dot(p[0].X, p[0].X + a, p[0].Y);
        if (endArrow) arrow(p[n - 1], -d); else dot(p[n - 1].X - c, p[n - 1].X, p[n - 1].Y);
    }
    painter.restore();
}

// --- link: hit test and mouse ---

int TQBLink::HitTest(const TPoint& point) const {
    const TPoint diagram{point.X + FWorkArea->ScrollX(), point.Y + FWorkArea->ScrollY()};
    const int n = PointCount();
    int code = FindSegmentAt(FPoints, diagram, n) >= 0 ? hcList : hcNone;
    const std::vector<TPoint> p = ScreenPoints();
    for (int i = 0; i < n; ++i) {
        if (i == 1 || i == n - 2) continue;
        if (std::abs(p[i].X - point.X) <= 3 && std::abs(p[i].Y - point.Y) <= 3)
            code = (i == 0 || i == n - 1) ? hcEndPoint : hcBendPoint;
    }
    return code;
}

void TQBLink::MouseDown(TQBMouseMessage& msg, int hitCode) {
    TQBFloatObject::MouseDown(msg, hitCode);
    const std::vector<TPoint> p = ScreenPoints();
    const int n = PointCount();
    auto near = [&](const TPoint& q) { return std::abs(q.X - msg.X) <= 3 && std::abs(q.Y - msg.Y) <= 3; };
    if (hitCode == hcBendPoint) {
        for (int i = 2; i <= n - 3; ++i) {
            if (!near(p[i])) continue;
            FDragIndex = i;
            FDragPoint = p[i];
        }
    } else if (hitCode == hcEndPoint) {
        FDragIndex = near(p[0]) ? 0 : n - 1;
    }
}

void TQBLink::MouseMove(TQBMouseMessage& msg, int hitCode) {
    TQBFloatObject::MouseMove(msg, hitCode);
    const int n = PointCount();
    if (hitCode != hcBendPoint || !(msg.Buttons & Qt::LeftButton) || FDragIndex <= 1 || FDragIndex >= n - 2) return;
    FDragPoint = TPoint{msg.X, msg.Y};
    const std::vector<TPoint> p = ScreenPoints();
    FWorkArea->SetRubberBand(this, {p[FDragIndex - 1], FDragPoint, p[FDragIndex + 1]});
}

void TQBLink::MouseUp(TQBMouseMessage& msg, int hitCode) {
    TQBFloatObject::MouseUp(msg, hitCode);
    const int n = PointCount();
    FWorkArea->SetRubberBand(nullptr, {});
    if (FDragIndex > 1 && FDragIndex < n - 2) {
        InvalidateBounds();
        const TPoint p{FDragPoint.X + FWorkArea->ScrollX(), FDragPoint.Y + FWorkArea->ScrollY()};
        SetPoint(FDragIndex, p);
        RecalcRoute();
        FWorkArea->InvalidateRegion(RepaintRegion(0));
    }
    FDragIndex = -1;
}

void TQBLink::SetActive(bool value) {
    TQBFloatObject::SetActive(value);
    FItem0->SetHighlighted(value);
    FItem1->SetHighlighted(value);
    FWorkArea->DoLinkSelected(this, value);
    FWorkArea->InvalidateRegion(RepaintRegion(0));
}

std::string TQBLink::GetHint() const {
    return FJoin->Table0->Key() + "." + FItem0->Name() + FOperator + FJoin->Table1->Key() + "." + FItem1->Name();
}

std::string TQBLink::LinkName() const {
    return FItem0->Table()->Name() + "_" + FItem0->Name() + "-" + FItem1->Table()->Name() + "_" + FItem1->Name();
}

// --- link: menu commands ---

void TQBLink::BuildPopup(QMenu& menu, int x, int hitCode, int y) {
    if (hitCode != hcBendPoint && hitCode != hcList) return;
    FDragPoint = TPoint{x, y};
    TQBWorkArea* area = FWorkArea;
    const std::uint64_t serial = Serial();
    // The commands find the link again by serial: it may be gone when they run.
    auto command = [area, serial](void (TQBLink::*operation)()) {
        return area->Guarded([area, serial, operation] {
            if (auto* link = dynamic_cast<TQBLink*>(area->ObjectBySerial(serial))) (link->*operation)();
        });
    };
    if (hitCode == hcBendPoint) menu.addAction(QString::fromUtf8(QBResource::SDeletePoint), command(&TQBLink::DeletePoint));
    if (hitCode == hcList) menu.addAction(QString::fromUtf8(QBResource::SInsertPoint), command(&TQBLink::InsertPoint));
    menu.addSeparator();
    menu.addAction(QString::fromUtf8(QBResource::SDeleteLink), command(&TQBLink::DeleteLink));
    menu.addAction(QString::fromUtf8(QBResource::SLinkProperties), command(&TQBLink::ShowProperties));
}

void TQBLink::DeletePoint() {
    const std::vector<TPoint> p = ScreenPoints();
    for (int i = 2; i <= PointCount() - 3; ++i) {
        if (std::abs(p[i].X - FDragPoint.X) > 3 || std::abs(p[i].Y - FDragPoint.Y) > 3) continue;
        FWorkArea->InvalidateRegion(RepaintRegion(0));
        FPoints.erase(FPoints.begin() + i);
        RecalcRoute();
        FWorkArea->InvalidateRegion(RepaintRegion(0));
        return;
    }
}

void TQBLink::InsertPoint() {
    const TPoint p{FDragPoint.X + FWorkArea->ScrollX(), FDragPoint.Y + FWorkArea->ScrollY()};
    const int i = FindSegmentAt(FPoints, p, PointCount());
    if (i <= 0 || i > PointCount() - 3) return;  // no segment, or one of the two stubs
    FWorkArea->InvalidateRegion(RepaintRegion(0));
    FPoints.insert(FPoints.begin() + i + 1, p);
    RecalcRoute();
    FWorkArea->InvalidateRegion(RepaintRegion(0));
}

void TQBLink::DeleteLink() {
    const QString text = QString::fromUtf8(QBResource::SConfirmDeleteLink) + QStringLiteral("\r\n") +
                         QString::fromStdString(FJoin->TableName(0)) + QStringLiteral(" ") +
                         QString::fromUtf8(QBResource::SAnd) + QStringLiteral(" ") +
                         QString::fromStdString(FJoin->TableName(1));
    if (FWorkArea->Confirm(QString::fromUtf8(QBResource::SHintCaption), text)) FWorkArea->PostRemoveLink(this);
}

void TQBLink::ShowProperties() {
    TfmLinkProp& dialog = FWorkArea->LinkPropDialog();
    dialog.Subject = this;
    dialog.FormShow();
    TQBWorkArea* area = FWorkArea;
    const std::uint64_t serial = Serial();
    const bool accepted = area->RunModal(dialog);
    dialog.Subject = nullptr;
    // The modal loop runs queued removals: the link may be gone now.
    if (accepted && area->ObjectBySerial(serial) == this) area->InvalidateRegion(RepaintRegion(0));
}

// --- work area: link bookkeeping ---

TQBJoin* TQBWorkArea::FindTableJoin(const TQBTable* a, const TQBTable* b, bool& reversed) const {
    reversed = false;
    bool aJoined = false, bJoined = false;
    for (const auto& join : FJoins) {
        if (join->Table0 == a && join->Table1 == b) return join.get();
        if (join->Table0 == b && join->Table1 == a) {
            reversed = true;
            return join.get();
        }
        aJoined = aJoined || join->Table0 == a || join->Table1 == a;
        bJoined = bJoined || join->Table0 == b || join->Table1 == b;
    }
    reversed = !aJoined && bJoined;
    return nullptr;
}

TQBLink* TQBWorkArea::FindLink(const TQBTable* a, const TQBTable* b, const TQBListItem* itemA,
                               const TQBListItem* itemB) const {
    bool reversed = false;
    const TQBJoin* join = FindTableJoin(a, b, reversed);
    if (!join) return nullptr;
    for (const auto& link : FLinks) {
        if (link->Join() != join) continue;
        if (!reversed && link->Item0() == itemA && link->Item1() == itemB) return link.get();
        if (reversed && link->Item0() == itemB && link->Item1() == itemA) return link.get();
    }
    return nullptr;
}

TQBLink* TQBWorkArea::AddLink(TQBTable* a, TQBTable* b, TQBListItem* itemA, TQBListItem* itemB) {
    if (!a || !b || !itemA || !itemB || itemA->Table() != a || itemB->Table() != b) return nullptr;
    bool reversed = false;
    TQBJoin* join = FindTableJoin(a, b, reversed);
    const bool created = join == nullptr;
    if (created) {
        FJoins.push_back(reversed ? std::make_unique<TQBJoin>(this, b, a) : std::make_unique<TQBJoin>(this, a, b));
        join = FJoins.back().get();
    }
    auto dropJoin = [&] {
        if (created) FJoins.pop_back();
    };
    // A reversed join lists B first: its line then starts the link, so that Item0 always
    // belongs to Table0.
    auto link = reversed ? std::make_unique<TQBLink>(this, itemB, itemA, join)
                         : std::make_unique<TQBLink>(this, itemA, itemB, join);
    if (!FOwner->DoAddRemoveLink(link.get(), qbaAdd)) {
        dropJoin();
        return nullptr;
    }
    try {
        AddLinkJoinDef(Parser(), *link);
    } catch (...) {
        dropJoin();
        throw;
    }
    TQBLink* result = link.get();
    FLinks.push_back(std::move(link));
    if (OnLinkAdded) OnLinkAdded(this, result);
    return result;
}

void TQBWorkArea::RemoveLink(TQBLink* link, int index, bool repaint) {
    if (index < 0 || index >= LinkCount() || FLinks[index].get() != link) index = IndexOfLink(link);
    if (index < 0) return;
    if (FHotObject == link) FHotObject = nullptr;
    if (FActiveObject == link) {
        link->SetActive(false);
        FActiveObject = nullptr;
    }
    if (FBandLink == link) SetRubberBand(nullptr, {});
    if (FLinkProp->Subject == link) FLinkProp->Subject = nullptr;
    if (repaint) InvalidateRegion(link->RepaintRegion(0));
    DeleteLinkJoinDef(Parser(), *link);
    // Keep what is needed after the link is gone.
    TQBJoin* join = link->Join();
    TQBListItem* item0 = link->Item0();
    TQBListItem* item1 = link->Item1();
    std::unique_ptr<TQBLink> owned = std::move(FLinks[index]);
    FLinks.erase(FLinks.begin() + index);
    if (OnLinkRemoved) OnLinkRemoved(this, owned.get());
    owned.reset();
    const bool joinInUse =
        std::any_of(FLinks.begin(), FLinks.end(), [join](const auto& other) { return other->Join() == join; });
    if (!joinInUse) {
        auto it = std::find_if(FJoins.begin(), FJoins.end(), [join](const auto& j) { return j.get() == join; });
        if (it != FJoins.end()) FJoins.erase(it);
    }
    if (repaint && item0 && item1) {
        item0->SetHighlighted(false);
        item1->SetHighlighted(false);
    }
}
