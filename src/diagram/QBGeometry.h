// Small geometry helpers for the diagram: TRect (right and bottom excluded) to and from Qt
// rectangles, offsetting, intersection and union in diagram coordinates.
#pragma once

#include <algorithm>

#include <QPoint>
#include <QRect>

#include "toolkit/Geometry.h"

inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
inline TRect FromQRect(const QRect& r) { return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline TRect OffsetRect(const TRect& r, int dx, int dy) {
    return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}
inline bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
// True when the two rectangles share at least one pixel.
inline bool Intersects(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}
inline TRect UnionRect(const TRect& a, const TRect& b) {
    if (IsEmptyRect(a)) return b;
    if (IsEmptyRect(b)) return a;
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom)};
}
inline QPoint ToQPoint(const TPoint& p) { return QPoint(p.X, p.Y); }
inline TPoint FromQPoint(const QPoint& p) { return TPoint{p.x(), p.y()}; }
