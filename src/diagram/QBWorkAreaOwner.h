// What the work area needs of the control that owns it: the parser that holds the query
// model, the appearance it paints with, the option set, the two questions it asks before
// a box or a link is added or removed, and the drags it hands over. The control implements
// it; the work area receives it at construction, so the diagram never depends on the
// control's class.
#pragma once

#include "diagram/QBTypes.h"
#include "toolkit/Geometry.h"

class QMimeData;
class QObject;
class TQBLink;
class TQBListItem;
class TQBObjectStyle;
class TQBPalette;
class TQBSelectParser;
class TQBTable;

class TQBWorkAreaOwner {
public:
    // The parser holding the query model; null before it is made.
    virtual TQBSelectParser* Parser() const = 0;
    virtual const TQBPalette& Palette() const = 0;
    virtual const TQBObjectStyle& ObjectStyle() const = 0;
    virtual TQBOptions Options() const = 0;
    // True when Table may be added or removed.
    virtual bool DoAddRemoveTable(TQBTable* table, TQBAction action) = 0;
    // True when Link may be added or removed.
    virtual bool DoAddRemoveLink(TQBLink* link, TQBAction action) = 0;
    // The user asks to enter the value of a parameter line of a procedure box.
    virtual void DoEnterProcParameter(TQBTable*, TQBListItem*) {}

    // Drags that did not start on the work area, and field drags that ended elsewhere. Point
    // is in the work area's client (viewport) coordinates. Without a handler nothing is
    // accepted and nothing happens.
    virtual bool DoDragOver(QObject* /*source*/, const QMimeData* /*data*/, const TPoint& /*point*/,
                            TDragState /*state*/) {
        return false;
    }
    virtual void DoDragDrop(QObject* /*source*/, const QMimeData* /*data*/, const TPoint& /*point*/) {}
    // Target is the widget the field was dropped on, or null.
    virtual void DoEndDrag(QObject* /*target*/, const TPoint& /*point*/) {}

protected:
    ~TQBWorkAreaOwner() = default;
};
