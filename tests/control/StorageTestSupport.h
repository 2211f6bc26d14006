// Shared helpers of the diagram storage tests: a control over the sample with a private
// folder, a four-table diagram whose boxes were moved, resized and collapsed and whose links
// got bend points while the surface is scrolled, and a text picture of the whole layout.
#pragma once

#include <QScrollBar>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "ControlTestSupport.h"
#include "control/QBStorage.h"

class StorageTest : public ControlTest {
protected:
    static constexpr const char* FourTables =
        "SELECT o.OrderID, c.CompanyName, e.LastName, s.CompanyName AS Shipper "
        "FROM Orders o INNER JOIN Customers c ON c.CustomerID = o.CustomerID "
        "LEFT JOIN Employees e ON e.EmployeeID = o.EmployeeID "
        "INNER JOIN Shippers s ON s.ShipperID = o.ShipVia";

    void SetUp() override {
        static int serial = 0;
        Folder = std::filesystem::temp_directory_path() /
                 ("korvel-storage-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(Folder);
        std::filesystem::create_directories(Folder);
        ControlTest::SetUp();
    }

    void TearDown() override {
        ControlTest::TearDown();
        std::filesystem::remove_all(Folder);
    }

    // "key: left,top widthxheight [collapsed]" per box and "link name: x,y x,y ..." per link,
    // sorted, then the statement.
    std::vector<std::string> Layout(TCustomQueryBuilder* control = nullptr) const {
        if (!control) control = Control.get();
        std::vector<std::string> lines;
        for (int i = 0; i < control->Tables().Count(); ++i) {
            const TQBTable& box = *control->Tables().Items(i);
            std::ostringstream line;
            line << box.Key() << ": " << box.Left() << "," << box.Top() << " " << box.Width() << "x" << box.Height()
                 << (box.Expanded() ? "" : " collapsed");
            lines.push_back(line.str());
        }
        for (int i = 0; i < control->Links().Count(); ++i) {
            const TQBLink& link = *control->Links().Items(i);
            std::ostringstream line;
            line << link.LinkName() << ":";
            for (const TPoint& p : link.Points()) line << " " << p.X << "," << p.Y;
            lines.push_back(line.str());
        }
        std::sort(lines.begin(), lines.end());
        lines.push_back(control->GetSQL());
        return lines;
    }

    // The four-table diagram, rearranged by hand: every box moved and resized, one collapsed,
    // two bend points on two links, the surface scrolled.
    void BuildArrangedDiagram() {
        SetSql(FourTables);
        ASSERT_EQ(Control->Tables().Count(), 4);
        ASSERT_EQ(Control->Links().Count(), 3);
        int shift = 0;
        for (int i = 0; i < Control->Tables().Count(); ++i) {
            TQBTable& box = *Control->Tables().Items(i);
            box.MoveTo(TRect{300 + shift, 200 + shift / 2, 0, 0});
            box.SetWidth(150 + shift / 4);
            box.SetHeight(90 + shift / 5);
            shift += 170;
        }
        Box("e")->SetExpanded(false);
        for (int i = 0; i < 2; ++i) {
            TQBLink& link = *Control->Links().Items(i);
            std::vector<TPoint> points = link.Points();
            points.insert(points.begin() + 2, {TPoint{700 + 40 * i, 900}, TPoint{760 + 40 * i, 960 + i}});
            link.SetPoints(points);
        }
        Area->horizontalScrollBar()->setValue(250);
        Area->verticalScrollBar()->setValue(120);
        QApplication::processEvents();
    }

    // Empties the control and forgets where its boxes were, so nothing comes back by itself.
    void ClearCompletely() {
        Control->SetSQL("");
        Control->Clear();
        ASSERT_EQ(Control->Tables().Count(), 0);
        ASSERT_EQ(Area->Arrangements().Count(), 0);
    }

    std::string File(const std::string& name) const { return (Folder / name).string(); }
    void WriteFile(const std::string& name, const std::string& text) const {
        std::ofstream(Folder / name, std::ios::binary) << text;
    }
    std::string ReadFile(const std::string& name) const {
        std::ifstream in(Folder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::set<std::string> FolderEntries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder))
            names.insert(std::filesystem::relative(entry.path(), Folder).string());
        return names;
    }

    std::filesystem::path Folder;
};
