// Shared helpers of the control tests: a host that describes tables from a temporary copy of
// the sample database, a shown SQL Server control wired to it with its message seams replaced,
// a text picture of the diagram (boxes, ticks, links) and mouse and key events sent to the
// work area's viewport.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include "../support/ViewportInput.h"
#include "control/QBMSWindow.h"
#include "control/QBTableList.h"
#include "data/DataQuery.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "model/QBJoinDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParseSupport.h"
#include "parser/QBParser.h"

// The host of the tests: OnGetTableFields answered from a private copy of the sample database.
// Every data set it hands out stays its own until the host is freed.
class TSampleHost {
public:
    TSampleHost() {
        static std::atomic<int> serial{0};
        FCopy = std::filesystem::temp_directory_path() /
                ("korvel-control-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".db");
        std::filesystem::copy_file(std::string(KORVEL_BINARY_DIR) + "/sample/korvel-sample.db", FCopy,
                                   std::filesystem::copy_options::overwrite_existing);
        FConnection.SetConnectionString("Provider=SQLite;Data Source=" + FCopy.string());
        FConnection.SetLoginPrompt(false);
        FConnection.Open();
    }
    ~TSampleHost() {
        FSets.clear();
        FConnection.Close();
        std::error_code ignored;
        std::filesystem::remove(FCopy, ignored);
    }
    TSampleHost(const TSampleHost&) = delete;
    TSampleHost& operator=(const TSampleHost&) = delete;

    // The name as SQL: in brackets when it is not a plain identifier (names arrive unquoted).
    static std::string Quoted(const std::string& name) {
        bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]));
        for (unsigned char c : name) plain = plain && (std::isalnum(c) || c == '_' || c >= 0x80);
        return plain ? name : "[" + name + "]";
    }

    // The OnGetTableFields handler: an open empty query over the table, or no data set when
    // the table is listed in Unknown or the database does not know it; throws for Throwing.
    void Describe(const std::string& name, TDataSet*& dataSet, TDataParameters*& params) {
        Asked.push_back(name);
        params = nullptr;
        if (Throwing.count(name)) throw std::runtime_error("host failed on " + name);
        if (Unknown.count(name)) return;
        auto query = std::make_unique<TDataQuery>(&FConnection);
        query->SetSQL("SELECT * FROM " + Quoted(name) + " WHERE 0 = 1");
        try {
            query->Open();
        } catch (const std::exception&) {
            return;
        }
        dataSet = query.get();
        FSets.push_back(std::move(query));
    }

    // Whether every data set handed out is still open (the control freed none of them).
    bool AllSetsOpen() const {
        return std::all_of(FSets.begin(), FSets.end(), [](const auto& set) { return set->Active(); });
    }
    int SetCount() const { return static_cast<int>(FSets.size()); }

    std::vector<std::string> Asked;
    std::set<std::string> Unknown;
    std::set<std::string> Throwing;

private:
    std::filesystem::path FCopy;
    TDataConnection FConnection;  // before the sets: freed after them
    std::vector<std::unique_ptr<TDataQuery>> FSets;
};

// The join type as written in the pictures: INNER, LEFT, RIGHT, FULL.
inline std::string JoinTypeName(int type) {
    static const char* const names[] = {"INNER", "LEFT", "RIGHT", "FULL"};
    return type >= 0 && type <= 3 ? names[type] : "?" + std::to_string(type);
}

// A shown SQL Server control, 900 x 700, answered by a sample host; no message box is ever
// shown (the control's and the work area's seams record instead).
class ControlTest : public ::testing::Test, public TViewportInput {
protected:
    // The control under test; a test fixture may make a subclass.
    virtual TMSSQLQueryBuilder* MakeControl() { return CreateQueryBuilder<TMSSQLQueryBuilder>(); }

    void SetUp() override {
        Host = std::make_unique<TSampleHost>();
        Control.reset(MakeControl());
        Control->resize(900, 700);
        Control->show();
        Area = Control->WorkArea();
        Bind(Area->viewport(), Area);
        Control->ErrorHook = [this](const QString& text) { Errors.push_back(text.toStdString()); };
        Area->ErrorHook = [this](const QString& text) { Errors.push_back(text.toStdString()); };
        Area->ConfirmHook = [this](const QString&, const QString& text) {
            Questions.push_back(text.toStdString());
            return ConfirmAnswer;
        };
        Control->OnGetTableFields = [this](const std::string& name, TDataSet*& set, TDataParameters*& params) {
            Host->Describe(name, set, params);
        };
        QApplication::setActiveWindow(Control.get());
        Area->setFocus();
        QApplication::processEvents();
    }

    void TearDown() override {
        Control.reset();
        QApplication::processEvents();
        Host.reset();
    }

    // --- the statement ---
    std::string Sql() const { return Control->GetSQL(); }
    void SetSql(const std::string& text) { Control->SetSQL(text); }
    TQBSelectParser& Parser() const { return *Control->Parser(); }
    TQBTableDefs& TableDefs() const { return *Parser().GetTableDefs(); }
    TQBJoinDefs& JoinDefs() const { return *Parser().GetJoinDefs(); }

    // --- the diagram as text ---
    TQBTable* Box(const std::string& key) const { return Control->Tables().FindTable(key); }
    TQBListItem* Line(const std::string& key, const std::string& name) const {
        TQBTable* box = Box(key);
        return box ? box->FindItem(name) : nullptr;
    }

    // "Name alias: ticked, ticked" per box ("Name: ..." without an alias), sorted.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        for (int i = 0; i < Control->Tables().Count(); ++i) {
            const TQBTable& box = *Control->Tables().Items(i);
            std::string text = box.Name() + (box.Alias().empty() ? "" : " " + box.Alias()) + ":";
            std::string sep = " ";
            for (int k = 0; k < box.ItemCount(); ++k) {
                if (!box.Item(k)->Checked()) continue;
                text += sep + box.Item(k)->Name();
                sep = ", ";
            }
            boxes.push_back(text);
        }
        std::sort(boxes.begin(), boxes.end());
        return boxes;
    }

    // "key0.item0 op key1.item1 TYPE" per link, in the work area's orientation: Table0 first,
    // the join type relative to Table0.
    std::vector<std::string> Links() const {
        std::vector<std::string> links;
        for (int i = 0; i < Control->Links().Count(); ++i) {
            const TQBLink& link = *Control->Links().Items(i);
            links.push_back(link.Join()->Table0->Key() + "." + link.Item0()->Name() + " " + link.FOperator + " " +
                            link.Join()->Table1->Key() + "." + link.Item1()->Name() + " " +
                            JoinTypeName(link.Join()->JoinType));
        }
        return links;
    }

    // The links read from the side whose key sorts first (LEFT and RIGHT, and the comparison,
    // exchanged when a link is read the other way), sorted: equal for equal meanings.
    std::vector<std::string> CanonicalLinks() const {
        std::vector<std::string> links;
        for (int i = 0; i < Control->Links().Count(); ++i) {
            const TQBLink& link = *Control->Links().Items(i);
            std::string k0 = link.Join()->Table0->Key(), k1 = link.Join()->Table1->Key();
            std::string f0 = link.Item0()->Name(), f1 = link.Item1()->Name();
            std::string op = link.FOperator;
            int type = link.Join()->JoinType;
            if (k1 < k0) {
                std::swap(k0, k1);
                std::swap(f0, f1);
                op = MirrorComparison(op);
                type = type == 1 ? 2 : type == 2 ? 1 : type;
            }
            links.push_back(k0 + "." + f0 + " " + op + " " + k1 + "." + f1 + " " + JoinTypeName(type));
        }
        std::sort(links.begin(), links.end());
        return links;
    }

    // Writes the SQL read back into the control again and expects the same diagram, and the
    // same SQL read back (or Reread when the statement is written differently the second time).
    void ExpectSameDiagramAfterReparse(const char* reread = nullptr) {
        const std::vector<std::string> boxes = Boxes(), links = CanonicalLinks();
        const std::string text = Sql();
        SetSql(text);
        EXPECT_EQ(Boxes(), boxes) << text;
        EXPECT_EQ(CanonicalLinks(), links) << text;
        EXPECT_EQ(Sql(), reread ? std::string(reread) : text);
        EXPECT_TRUE(Errors.empty());
    }

    // --- events on the work area's viewport ---
    QWidget* Viewport() const { return Area->viewport(); }
    QPoint Screen(int x, int y) const { return QPoint(x - Area->ScrollX(), y - Area->ScrollY()); }
    static QPoint Center(const TRect& r) { return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

    // The check cell of a line (scrolled into view first), on screen.
    QPoint CheckCell(TQBListItem* item) const {
        TQBTable* box = item->Table();
        const int index = box->IndexOfItem(item);
        if (index < box->TopIndex() || index >= box->TopIndex() + box->VisibleLines()) box->ScrollTo(index);
        const TRect r = box->ItemRect(item);
        return QPoint(r.Left + 6, r.Top + 7);
    }
    // A caption button (0 collapse, 1 clear links, 2 close), on screen.
    QPoint ButtonPoint(TQBTable* box, int index) const {
        const QPoint c = Center(box->ButtonRect(index));
        return Screen(c.x(), c.y());
    }
    QPoint CaptionPoint(TQBTable* box) const {
        const QPoint c = Center(box->CaptionTextRect());
        return Screen(c.x(), c.y());
    }
    // A point on a segment of Link that no box and no other link covers, on screen.
    QPoint LinkPoint(const TQBLink* link) const {
        const std::vector<TPoint>& p = link->Points();
        for (size_t i = 0; i + 1 < p.size(); ++i) {
            for (int step = 1; step < 8; ++step) {
                const QPoint q = Screen(p[i].X + (p[i + 1].X - p[i].X) * step / 8,
                                        p[i].Y + (p[i + 1].Y - p[i].Y) * step / 8);
                const TPoint t{q.x(), q.y()};
                if (link->HitTest(t) != hcList) continue;
                bool free = true;
                for (int b = 0; b < Area->TableCount() && free; ++b) free = Area->Table(b)->HitTest(t) == hcNone;
                for (int l = 0; l < Area->LinkCount() && free; ++l)
                    free = Area->Link(l) == link || Area->Link(l)->HitTest(t) == hcNone;
                if (free) return q;
            }
        }
        ADD_FAILURE() << "no free point on the link";
        return QPoint();
    }

    // Keys without modifiers, with the text they type.
    void Key(int key, const QString& text = QString()) { TViewportInput::Key(key, Qt::NoModifier, text); }
    // Types Text into the focused widget, one key event per character.
    void Type(const QString& text) {
        for (const QChar c : text) {
            const char16_t u = c.toUpper().unicode();
            const int key = u >= 'A' && u <= 'Z' ? Qt::Key_A + (u - 'A') : u >= '0' && u <= '9' ? Qt::Key_0 + (u - '0')
                                                                                               : Qt::Key_unknown;
            Key(key, QString(c));
        }
    }

    std::unique_ptr<TSampleHost> Host;
    std::unique_ptr<TMSSQLQueryBuilder> Control;
    TQBWorkArea* Area = nullptr;
    std::vector<std::string> Errors;
    std::vector<std::string> Questions;
    bool ConfirmAnswer = true;
};
