// Links and joins: a TQBLink is the line drawn from a field line of one box to a field line
// of another and stands for one join condition of the query; all links between the same two
// boxes share one TQBJoin, whose join type is drawn as markers at the line's ends. A link
// routes itself from line to line through 10-pixel stubs and user-placed bend points.
#pragma once

#include <QRegion>
#include <string>
#include <vector>

#include "diagram/QBFloatPanel.h"

class TQBJoin final {
public:
    TQBJoin(TQBWorkArea* workArea, TQBTable* table0, TQBTable* table1)
        : Table0(table0), Table1(table1), FWorkArea(workArea) {}

    // Table0 for 0, Table1 for 1, null otherwise.
    TQBTable* Table(int index) const;
    // That box's name (not its key); empty for other indexes.
    std::string TableName(int index) const;
    TQBWorkArea* WorkArea() const { return FWorkArea; }

    int JoinType = 0;  // 0 inner, 1 left outer, 2 right outer, 3 full outer
    TQBTable* Table0;
    TQBTable* Table1;

private:
    TQBWorkArea* FWorkArea;
};

class TQBLink : public TQBFloatObject {
public:
    // A link from Item0 to Item1 over Join, routed at once. Item0 belongs to Join's Table0.
    TQBLink(TQBWorkArea* workArea, TQBListItem* item0, TQBListItem* item1, TQBJoin* join);

    TQBJoin* Join() const { return FJoin; }
    TQBListItem* Item0() const { return FItem0; }
    TQBListItem* Item1() const { return FItem1; }
    std::string FOperator = "=";

    int PointCount() const { return static_cast<int>(FPoints.size()); }
    // Point Index on screen; EQBException "无效的索引 = %d " when out of range.
    TPoint GetPoint(int index) const;
    // Stores P (diagram coordinates) as point Index; same error when out of range.
    void SetPoint(int index, const TPoint& p);
    // Replaces the whole polyline (diagram coordinates), then re-routes the ends.
    void SetPoints(std::vector<TPoint> points);
    const std::vector<TPoint>& Points() const { return FPoints; }
    // Recomputes the two ends and their elbows from the lines' places, and the bounds.
    void RecalcRoute();
    TRect Bounds() const { return FBounds; }
    // The area to repaint on screen: 0 the whole link, 1 its start part, 2 its end part.
    QRegion RepaintRegion(int kind) const;
    std::string LinkName() const;

    void DeletePoint();
    void InsertPoint();
    void DeleteLink();
    void ShowProperties();
    TPoint DragPoint() const { return FDragPoint; }
    void SetDragPoint(const TPoint& p) { FDragPoint = p; }

    void SetActive(bool value) override;
    std::string GetHint() const override;
    void Paint(QPainter& painter, const QRect& dirty) override;
    void MouseDown(TQBMouseMessage& msg, int hitCode) override;
    void MouseMove(TQBMouseMessage& msg, int hitCode) override;
    void MouseUp(TQBMouseMessage& msg, int hitCode) override;
    int HitTest(const TPoint& point) const override;
    void BuildPopup(QMenu& menu, int x, int hitCode, int y) override;

private:
    std::vector<TPoint> ScreenPoints() const;
    void InvalidateBounds() const;

    TQBJoin* FJoin;
    TQBListItem* FItem0;
    TQBListItem* FItem1;
    TRect FBounds;
    std::vector<TPoint> FPoints;
    TPoint FDragPoint;
    int FDragIndex = -1;
};
