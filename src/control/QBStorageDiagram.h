// The diagram as the stores see it. Writing walks the control's boxes and links and hands
// each one's state to a store; reading asks a store about each box and link that exists
// after the statement was set, matching them by key and link name. Loading first takes a
// copy of the diagram as it is, so that a load that fails halfway puts everything back.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Geometry.h"

class TCustomQueryBuilder;
class TIniFile;

// The stored state of one box; -1 stands for a value the store does not have.
struct TQBBoxPlace {
    int Left = -1;
    int Top = -1;
    int Height = -1;
    int Width = -1;
    int Expanded = -1;  // 0 collapsed, 1 expanded
};

// What a store writes. Calls come in this order: Statement, then Box for every box in the
// table list's order, then Link for every link in the link list's order, then Commit.
class TQBDiagramWriter {
public:
    virtual ~TQBDiagramWriter() = default;
    // Sql is null when the statement is not included.
    virtual void Statement(const std::string* sql) = 0;
    virtual void Box(const std::string& key, const TQBBoxPlace& place) = 0;
    // Points in diagram coordinates.
    virtual void Link(const std::string& name, const std::vector<TPoint>& points) = 0;
    virtual void Commit() = 0;
};

// What a store answers when a diagram is read.
class TQBDiagramReader {
public:
    virtual ~TQBDiagramReader() = default;
    // The stored statement, or nothing when the store holds none.
    virtual std::optional<std::string> Statement() const = 0;
    virtual TQBBoxPlace Box(const std::string& key) const = 0;
    // The points stored for the link, in ascending order of their index (any number).
    virtual std::vector<TPoint> Link(const std::string& name) const = 0;
};

namespace QBStorage {

// Statements longer than this are refused when read: no query is that long, and a hostile
// store must not make the parser chew on megabytes.
inline constexpr std::size_t MaxStatementSize = 1024 * 1024;

// The number n of a name Prefix + n (prefix compared ignoring case), n written as a plain
// non-negative decimal number (no sign, no leading zero, at most 9 digits); -1 otherwise.
int NumberedName(std::string_view name, std::string_view prefix);

// Hands the control's statement (when IncludeSQL), boxes and links to Writer, then commits.
void WriteDiagram(const TCustomQueryBuilder& control, TQBDiagramWriter& writer, bool includeSQL);

// Sets the stored statement (when IncludeSQL and the store has one), then places each box
// and reshapes each link the store knows. Raises the error of the first step that fails,
// after putting the diagram back as it was before the call.
void ReadDiagram(TCustomQueryBuilder& control, const TQBDiagramReader& reader, bool includeSQL);

// How an INI writer is used: for a file (Commit writes it to disk; a name that cannot be
// written fails the save) or for the copy a load keeps in memory to undo a failure (every
// box's expanded state recorded, objects with unwritable names skipped).
enum class TQBIniCopy { File, Snapshot };

// The INI form: a "Diagram properties" section with the encoded statement, one section per
// box and one per link.
std::unique_ptr<TQBDiagramWriter> MakeIniWriter(TIniFile& file, TQBIniCopy use);
std::unique_ptr<TQBDiagramReader> MakeIniReader(const TIniFile& file);

}  // namespace QBStorage
