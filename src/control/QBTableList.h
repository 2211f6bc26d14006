// Thin views over the work area's boxes and links, the control's Tables and Links.
#pragma once

#include <string>

class TDataParameters;
class TDataSet;
class TQBLink;
class TQBSelectParser;
class TQBTable;
class TQBWorkArea;

class TQBTableList final {
public:
    explicit TQBTableList(TQBWorkArea* workArea) : FWorkArea(workArea) {}

    // Number of boxes on the work area; 0 without one.
    int Count() const;
    // The box at Index in the work area's order (front first); null outside 0..Count-1.
    TQBTable* Items(int index) const;
    // Creates a box with automatic placement; null when the control refused it.
    TQBTable* AddTable(const std::string& name, const std::string& alias, TDataSet* dataSet) const;
    // Creates a stored-procedure box (columns of DataSet, then the input parameters of
    // Params with their values) with automatic placement; null when the control refused it.
    TQBTable* AddProc(const std::string& name, const std::string& alias, const TDataParameters& params,
                      TDataSet* dataSet) const;
    // The first box whose key is Key by the model's name comparison (exact without a
    // parser); null when none matches, and for a blank key.
    TQBTable* FindTable(const std::string& key) const;
    // The owning control's parser, or null.
    TQBSelectParser* Parser() const;

private:
    TQBWorkArea* FWorkArea;  // not owned
};

class TQBLinkList final {
public:
    explicit TQBLinkList(TQBWorkArea* workArea) : FWorkArea(workArea) {}

    int Count() const;
    // The link at Index; null outside 0..Count-1.
    TQBLink* Items(int index) const;

private:
    TQBWorkArea* FWorkArea;  // not owned
};
