// Writing the control's diagram to a store and reading it back, with the undo of a failed
// load.
#include "control/QBStorageDiagram.h"

#include <algorithm>

#include "control/QBTableList.h"
#include "control/QBWindow.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/IniFile.h"
#include "toolkit/TextCompare.h"

namespace {

// Stored coordinates and sizes are kept on the surface: a box or point far outside it could
// neither be seen nor reached, and sums of huge values would overflow.
int OnSurface(int value) { return std::clamp(value, 0, TQBWorkArea::SurfaceSize); }

void PlaceBox(TQBTable& box, const TQBBoxPlace& place) {
    if (place.Left >= 0 && place.Top >= 0) {
        const int left = OnSurface(place.Left), top = OnSurface(place.Top);
        box.MoveTo(TRect{left, top, left + box.Width(), top + box.Height()});
    } else if (place.Left >= 0) {
        box.SetLeft(OnSurface(place.Left));
    } else if (place.Top >= 0) {
        box.SetTop(OnSurface(place.Top));
    }
    if (place.Height >= 0) box.SetHeight(OnSurface(place.Height));
    if (place.Width >= 0) box.SetWidth(OnSurface(place.Width));
    if (place.Expanded >= 0) box.SetExpanded(place.Expanded != 0);
}

void ReshapeLink(TQBLink& link, std::vector<TPoint> points) {
    // A link always has its two ends and their elbows; fewer points keep the route it has.
    if (points.size() < 4) return;
    for (TPoint& p : points) p = TPoint{OnSurface(p.X), OnSurface(p.Y)};
    link.SetPoints(std::move(points));
}

// Sets Sql (when given), then the layout, with painting suspended meanwhile.
void Apply(TCustomQueryBuilder& control, const TQBDiagramReader& reader, const std::optional<std::string>& sql) {
    if (sql) control.SetSQL(*sql);
    control.BeginUpdate();
    try {
        for (int i = 0; i < control.Tables().Count(); ++i) {
            TQBTable& box = *control.Tables().Items(i);
            PlaceBox(box, reader.Box(box.Key()));
        }
        for (int i = 0; i < control.Links().Count(); ++i) {
            TQBLink& link = *control.Links().Items(i);
            ReshapeLink(link, reader.Link(link.LinkName()));
        }
    } catch (...) {
        control.EndUpdate();
        throw;
    }
    control.EndUpdate();
}

// The diagram as it is, kept in memory: statement (when it can be generated) and layout.
void TakeSnapshot(const TCustomQueryBuilder& control, TIniFile& copy) {
    try {
        auto writer = QBStorage::MakeIniWriter(copy, QBStorage::TQBIniCopy::Snapshot);
        QBStorage::WriteDiagram(control, *writer, true);
    } catch (const std::exception&) {
        copy.SetText({});
        auto writer = QBStorage::MakeIniWriter(copy, QBStorage::TQBIniCopy::Snapshot);
        QBStorage::WriteDiagram(control, *writer, false);
    }
}

// Puts the host's parser error handler back when a load ends, however it ends.
class TParserErrorHandlerBack {
public:
    explicit TParserErrorHandlerBack(TCustomQueryBuilder& control)
        : FControl(control), FHandler(control.GetOnParserError()) {}
    ~TParserErrorHandlerBack() { FControl.SetOnParserError(std::move(FHandler)); }
    TParserErrorHandlerBack(const TParserErrorHandlerBack&) = delete;
    TParserErrorHandlerBack& operator=(const TParserErrorHandlerBack&) = delete;

private:
    TCustomQueryBuilder& FControl;
    TQBParserErrorEvent FHandler;
};

}  // namespace

namespace QBStorage {

int NumberedName(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 9) return -1;
    if (!SameText(name.substr(0, prefix.size()), prefix)) return -1;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.size() > 1 && digits[0] == '0') return -1;
    int n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

void WriteDiagram(const TCustomQueryBuilder& control, TQBDiagramWriter& writer, bool includeSQL) {
    if (includeSQL) {
        const std::string sql = control.GetSQL();
        writer.Statement(&sql);
    } else {
        writer.Statement(nullptr);
    }
    for (int i = 0; i < control.Tables().Count(); ++i) {
        const TQBTable& box = *control.Tables().Items(i);
        writer.Box(box.Key(), TQBBoxPlace{box.Left(), box.Top(), box.Height(), box.Width(), box.Expanded() ? 1 : 0});
    }
    for (int i = 0; i < control.Links().Count(); ++i) {
        const TQBLink& link = *control.Links().Items(i);
        writer.Link(link.LinkName(), link.Points());
    }
    writer.Commit();
}

void ReadDiagram(TCustomQueryBuilder& control, const TQBDiagramReader& reader, bool includeSQL) {
    std::optional<std::string> sql;
    if (includeSQL) sql = reader.Statement();
    if (sql && sql->size() > MaxStatementSize)
        throw EQBException(FormatMessage(QBResource::SDiagramStatementTooLong, std::to_string(sql->size())));

    TIniFile before;
    TakeSnapshot(control, before);
    // An error in the stored statement leaves as an exception, to be reported and undone
    // here, instead of going to the host's handler, which would point into its own text.
    const TParserErrorHandlerBack handlerBack(control);
    control.SetOnParserError(nullptr);
    try {
        Apply(control, reader, sql);
    } catch (...) {
        try {
            const auto copy = MakeIniReader(before);
            Apply(control, *copy, copy->Statement());
        } catch (...) {
            // The error being reported is the first one; the diagram stays as far as it came back.
        }
        throw;
    }
}

}  // namespace QBStorage
