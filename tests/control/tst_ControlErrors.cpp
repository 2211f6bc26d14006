// How writing SQL ends when something goes wrong (a column or table the host lacks, a host
// that throws, parse errors, an unterminated quote, nothing at all), the visible tabs and the
// page reloads, teardown with the alias editor open, and the published properties.
#include <QSplitter>
#include <QTabWidget>

#include "ControlTestSupport.h"
#include "lexer/QBParserError.h"
#include "lexer/QBScanner.h"
#include "toolkit/TStringList.h"

namespace {

// One reported parse error: who sent it, the message and the token.
struct Report {
    TQBSelectParser* sender;
    std::string message;
    std::string token;
};

class ControlErrors : public ControlTest {
protected:
    void ListenToParserErrors() {
        Control->SetOnParserError([this](TQBSelectParser* sender, const std::string& message, const std::string& token,
                                         int, int) { Reports.push_back({sender, message, token}); });
    }
    std::vector<Report> Reports;
};

const char* const FourTables =
    "SELECT o.OrderID, c.CompanyName, s.CompanyName AS Shipper, e.LastName FROM Orders o "
    "JOIN Customers c ON c.CustomerID = o.CustomerID JOIN Shippers s ON s.ShipperID = o.ShipVia "
    "JOIN Employees e ON e.EmployeeID = o.EmployeeID";

TEST_F(ControlErrors, AColumnTheTableLacksIsReportedOnceAndStopsTheDiagramBeforeTheLaterTables) {
    ListenToParserErrors();
    SetSql("SELECT o.OrderID, o.Nothing, o.Freight, c.CompanyName FROM Orders o "
           "JOIN Customers c ON c.CustomerID = o.CustomerID");
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].sender, Control->Parser());
    EXPECT_EQ(Reports[0].token, "Nothing");
    EXPECT_NE(Reports[0].message.find("字段 'Nothing' 没有发现."), std::string::npos) << Reports[0].message;
    EXPECT_FALSE(Parser().Valid);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Orders o: OrderID"}));
    EXPECT_EQ(Control->Links().Count(), 0);
    EXPECT_EQ(Host->Asked, (std::vector<std::string>{"Orders"}));
    EXPECT_FALSE(Control->Updating());
    EXPECT_FALSE(Area->Updating());
    // The rest of the statement stays in the model; only the missing column is gone.
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  o.Freight,\r\n"
                     "  c.CompanyName\r\n"
                     "FROM\r\n"
                     " Orders o\r\n"
                     " INNER JOIN Customers c ON (o.CustomerID=c.CustomerID)\r\n");
}

TEST_F(ControlErrors, AColumnTheTableLacksLeavesAsAnExceptionWithoutAHandler) {
    try {
        SetSql("SELECT o.OrderID, o.Nothing FROM Orders o");
        ADD_FAILURE() << "no exception";
    } catch (const EQBParserError& e) {
        EXPECT_EQ(e.ErrorCode, qpeFieldNotFound);
        EXPECT_EQ(e.Token, "Nothing");
    }
    EXPECT_FALSE(Control->Updating());
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Orders o: OrderID"}));
}

TEST_F(ControlErrors, AColumnTheSecondTableLacksKeepsItsBoxWithTheEarlierTicksAndDrawsNoLink) {
    ListenToParserErrors();
    SetSql("SELECT o.OrderID, c.CompanyName, c.Nothing, c.City FROM Orders o "
           "JOIN Customers c ON c.CustomerID = o.CustomerID");
    EXPECT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Customers c: CompanyName", "Orders o: OrderID"}));
    EXPECT_EQ(Control->Links().Count(), 0);
}

TEST_F(ControlErrors, ABoxTheHostRefusesIsSkippedAndTheStatementKeepsItsTable) {
    Control->OnAddRemoveTable = [](QObject* sender, TQBTable* table, TQBAction action, bool& accept) {
        EXPECT_NE(sender, nullptr);
        if (action == qbaAdd && table->Name() == "Customers") accept = false;
    };
    SetSql(FourTables);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Employees e: LastName", "Orders o: OrderID",
                                                 "Shippers s: CompanyName"}));
    EXPECT_EQ(Links(), (std::vector<std::string>{"o.ShipVia = s.ShipperID INNER", "o.EmployeeID = e.EmployeeID INNER"}));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  c.CompanyName,\r\n"
                     "  s.CompanyName AS Shipper,\r\n"
                     "  e.LastName\r\n"
                     "FROM\r\n"
                     " Orders o\r\n"
                     " INNER JOIN Customers c ON (o.CustomerID=c.CustomerID)\r\n"
                     " INNER JOIN Shippers s ON (o.ShipVia=s.ShipperID)\r\n"
                     " INNER JOIN Employees e ON (o.EmployeeID=e.EmployeeID)\r\n");
}

TEST_F(ControlErrors, ABlankKeyFindsNoBoxEvenWhenThereIsOnlyOne) {
    SetSql("SELECT s.CompanyName FROM Shippers s");
    EXPECT_EQ(Control->BoxByKey(""), nullptr);
    EXPECT_EQ(Control->BoxByKey("  "), nullptr);
    EXPECT_EQ(Control->BoxByKey("S"), Box("s"));
}

TEST_F(ControlErrors, BoxesWrittenAgainComeBackWhereTheUserLeftThem) {
    SetSql(FourTables);
    Box("c")->SetLeft(600);
    Box("c")->SetTop(300);
    SetSql(FourTables);
    EXPECT_EQ(Box("c")->Left(), 600);
    EXPECT_EQ(Box("c")->Top(), 300);
}

struct UnknownCase {
    const char* name;
    const char* unknown;  // the table the host cannot describe
    std::vector<std::string> asked;
    std::vector<std::string> boxes;
    std::vector<std::string> links;
};

class UnknownTables : public ControlErrors, public ::testing::WithParamInterface<UnknownCase> {};

TEST_P(UnknownTables, StopTheBoxesButLinkTheBoxesThatExist) {
    Host->Unknown = {GetParam().unknown};
    SetSql(FourTables);
    EXPECT_EQ(Host->Asked, GetParam().asked);
    EXPECT_EQ(Boxes(), GetParam().boxes);
    EXPECT_EQ(Links(), GetParam().links);
    EXPECT_TRUE(Parser().Valid);
    EXPECT_FALSE(Control->Updating());
    EXPECT_TRUE(Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Host, UnknownTables,
    ::testing::Values(
        UnknownCase{"first", "Orders", {"Orders"}, {}, {}},
        UnknownCase{"third",
                    "Shippers",
                    {"Orders", "Customers", "Shippers"},
                    {"Customers c: CompanyName", "Orders o: OrderID"},
                    {"o.CustomerID = c.CustomerID INNER"}},
        UnknownCase{"last",
                    "Employees",
                    {"Orders", "Customers", "Shippers", "Employees"},
                    {"Customers c: CompanyName", "Orders o: OrderID", "Shippers s: CompanyName"},
                    {"o.CustomerID = c.CustomerID INNER", "o.ShipVia = s.ShipperID INNER"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlErrors, ATableTheDatabaseLacksGetsNoBoxAndTheStatementStays) {
    SetSql("SELECT n.Anything FROM Nowhere n");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  n.Anything\r\n"
                     "FROM\r\n"
                     " Nowhere n\r\n");
}

TEST_F(ControlErrors, AHostThatThrowsEndsTheUpdateAndTheNextStatementIsDrawn) {
    Host->Throwing = {"Customers"};
    EXPECT_THROW(SetSql(FourTables), std::runtime_error);
    EXPECT_FALSE(Control->Updating());
    EXPECT_FALSE(Area->Updating());
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Orders o: OrderID"}));
    QApplication::processEvents();
    Host->Throwing.clear();
    SetSql(FourTables);
    EXPECT_EQ(Control->Tables().Count(), 4);
    EXPECT_EQ(Control->Links().Count(), 3);
}

TEST_F(ControlErrors, AParseErrorGoesToTheHandlerAndMarksTheParseInvalid) {
    ListenToParserErrors();
    SetSql("SELECT FROM Orders o");
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].sender, Control->Parser());
    EXPECT_FALSE(Parser().Valid);
    EXPECT_FALSE(Control->Updating());
    // A later statement parses afresh.
    SetSql("SELECT o.OrderID FROM Orders o");
    EXPECT_TRUE(Parser().Valid);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Orders o: OrderID"}));
}

TEST_F(ControlErrors, AParseErrorWithoutAHandlerLeavesAsAnExceptionAndAnEmptyDiagram) {
    SetSql("SELECT o.OrderID FROM Orders o");
    EXPECT_THROW(SetSql("SELECT FROM Orders o"), EQBParserError);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(Control->Updating());
}

TEST_F(ControlErrors, AnUnterminatedQuoteAlwaysLeavesAsAnException) {
    for (bool handler : {false, true}) {
        if (handler) ListenToParserErrors();
        try {
            SetSql("SELECT o.OrderID FROM Orders o WHERE o.ShipCity = 'Lyon");
            ADD_FAILURE() << "no exception, handler " << handler;
        } catch (const EQBParserError& e) {
            EXPECT_EQ(e.ErrorCode, qpeUnterminatedString);
            EXPECT_EQ(e.Token, "Lyon");
        }
        EXPECT_TRUE(Reports.empty());
        EXPECT_FALSE(Control->Updating());
        EXPECT_TRUE(Boxes().empty());
    }
}

// The unterminated quote leaves the parse as an exception and marks it invalid, so a host that
// reads Valid after swallowing the exception never takes the broken text as accepted.
TEST_F(ControlErrors, AnUnterminatedQuoteMarksTheParseInvalid) {
    ListenToParserErrors();
    EXPECT_THROW(SetSql("SELECT o.OrderID FROM Orders o WHERE o.ShipCity = 'Lyon"), EQBParserError);
    EXPECT_FALSE(Parser().Valid);
}

TEST_F(ControlErrors, EmptySqlLeavesAnEmptyModelAndDiagram) {
    SetSql(FourTables);
    SetSql("");
    EXPECT_TRUE(Parser().Valid);
    EXPECT_EQ(TableDefs().Count(), 0);
    EXPECT_EQ(JoinDefs().Count(), 0);
    EXPECT_EQ(Control->Tables().Count(), 0);
    EXPECT_EQ(Control->Links().Count(), 0);
    EXPECT_EQ(Sql(), "");
}

TEST_F(ControlErrors, WithoutTheTableFieldsEventTheDiagramIsEmptyAndTheSqlComesFromTheModel) {
    Control->OnGetTableFields = nullptr;
    SetSql("SELECT c.CompanyName FROM Customers c LEFT JOIN Orders o ON o.CustomerID = c.CustomerID");
    EXPECT_EQ(Control->Tables().Count(), 0);
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  c.CompanyName\r\n"
                     "FROM\r\n"
                     " Customers c\r\n"
                     " LEFT OUTER JOIN Orders o ON (c.CustomerID=o.CustomerID)\r\n");
}

TEST_F(ControlErrors, TheHostsDataSetsStayOpenAndItsOwn) {
    SetSql(FourTables);
    SetSql(FourTables);
    EXPECT_EQ(Host->SetCount(), 8);
    EXPECT_TRUE(Host->AllSetsOpen());
    Control.reset();
    QApplication::processEvents();
    EXPECT_TRUE(Host->AllSetsOpen());
}

// --- pages ---

// Counts the page reloads.
class CountingControl : public TMSSQLQueryBuilder {
public:
    using TMSSQLQueryBuilder::TMSSQLQueryBuilder;
    std::vector<TQBVisibleTab> Reloads;
    bool Throw = false;

protected:
    void ReloadPage(TQBVisibleTab page) override {
        Reloads.push_back(page);
        if (Throw) throw std::runtime_error("page failed");
        TMSSQLQueryBuilder::ReloadPage(page);
    }
};

class ControlPages : public ControlErrors {
protected:
    TMSSQLQueryBuilder* MakeControl() override { return CreateQueryBuilder<CountingControl>(); }
    CountingControl& Counting() { return static_cast<CountingControl&>(*Control); }
    std::vector<TQBVisibleTab>& Reloads() { return Counting().Reloads; }
    bool HandleShown() const { return Control->Splitter()->handle(1)->isVisible(); }
};

TEST_F(ControlPages, NoVisibleTabHidesThePagesAndTheSplitterHandleAndTheirReturnActivatesTheFirst) {
    ASSERT_TRUE(Control->PageControl()->isVisible());
    ASSERT_TRUE(HandleShown());
    Control->PageControl()->setCurrentIndex(2);
    Control->SetVisibleTabs({});
    QApplication::processEvents();
    EXPECT_FALSE(Control->PageControl()->isVisible());
    EXPECT_FALSE(HandleShown());
    Control->SetVisibleTabs({qbtGroupCriterions, qbtSorting});
    QApplication::processEvents();
    EXPECT_TRUE(Control->PageControl()->isVisible());
    EXPECT_TRUE(HandleShown());
    EXPECT_EQ(Control->PageControl()->currentIndex(), 2);
    EXPECT_FALSE(Control->PageControl()->isTabVisible(0));
    Control->SetVisibleTabs({qbtCriterions, qbtSelection, qbtGroupCriterions, qbtSorting});
    QApplication::processEvents();
    EXPECT_EQ(Control->PageControl()->currentIndex(), 0);
    EXPECT_EQ(Control->TabHeight(), 170);
    EXPECT_EQ(Control->PageControl()->height(), 170);
}

TEST_F(ControlPages, ActivatingTheSortingPageReloadsOnlyIt) {
    Control->SetVisibleTabs({qbtSelection, qbtSorting});
    EXPECT_EQ(Control->PageControl()->currentIndex(), 1);
    Reloads().clear();
    Control->PageControl()->setCurrentIndex(3);
    EXPECT_EQ(Reloads(), (std::vector<TQBVisibleTab>{qbtSorting}));
}

TEST_F(ControlPages, TickingColumnsDuringAnUpdateReloadsTheActivePageOnceAtItsEnd) {
    SetSql("SELECT o.OrderID FROM Orders o");
    Control->PageControl()->setCurrentIndex(1);
    Reloads().clear();
    Control->BeginUpdate();
    for (const char* name : {"CustomerID", "EmployeeID", "Freight"}) Line("o", name)->SetChecked(true);
    EXPECT_TRUE(Reloads().empty());
    Control->EndUpdate();
    EXPECT_EQ(Reloads(), (std::vector<TQBVisibleTab>{qbtSelection}));
    // Outside an update each tick reloads it.
    Reloads().clear();
    Line("o", "ShipCity")->SetChecked(true);
    EXPECT_EQ(Reloads(), (std::vector<TQBVisibleTab>{qbtSelection}));
}

TEST_F(ControlPages, WritingSqlReloadsTheActivePageOnceHoweverManyColumnsItTicks) {
    Control->PageControl()->setCurrentIndex(1);
    Reloads().clear();
    SetSql("SELECT o.OrderID, o.CustomerID, o.EmployeeID, o.Freight, o.ShipCity, o.ShipCountry FROM Orders o");
    // The selection and sorting pages are loaded once each, and the active page (the first
    // visible one again after the clear) once at the end.
    EXPECT_EQ(Control->PageControl()->currentIndex(), 0);
    EXPECT_EQ(Reloads(), (std::vector<TQBVisibleTab>{qbtSelection, qbtSorting, qbtCriterions}));
}

TEST_F(ControlPages, APageThatFailsToLoadWhenActivatedShowsTheMessage) {
    Counting().Throw = true;
    Control->PageControl()->setCurrentIndex(3);
    EXPECT_EQ(Errors, (std::vector<std::string>{"page failed"}));
    EXPECT_EQ(Control->PageControl()->currentIndex(), 3);
    Counting().Throw = false;
}

TEST_F(ControlPages, APageThatFailsToLoadAfterATickShowsTheMessageAndKeepsTheTick) {
    SetSql("SELECT o.OrderID FROM Orders o");
    Control->PageControl()->setCurrentIndex(1);
    Counting().Throw = true;
    Click(CheckCell(Line("o", "Freight")));
    Counting().Throw = false;
    EXPECT_EQ(Errors, (std::vector<std::string>{"page failed"}));
    EXPECT_TRUE(Line("o", "Freight")->Checked());
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  o.Freight\r\n"
                     "FROM\r\n"
                     " Orders o\r\n");
}

// --- teardown ---

TEST_F(ControlErrors, DestroyingTheControlWithTheAliasEditorOpenCommitsNothing) {
    SetSql("SELECT o.OrderID FROM Orders o");
    TQBTable* box = Box("o");
    Click(CaptionPoint(box));
    box->EditAlias();
    QLineEdit* edit = Area->AliasEdit();
    ASSERT_TRUE(edit->isVisible());
    edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    edit->setText("zz");
    bool committed = false;
    Area->OnTableKeyChanged = [&committed](TQBTable*, const std::string&) { committed = true; };
    Control.reset();
    QApplication::processEvents();
    EXPECT_FALSE(committed);
    EXPECT_TRUE(Errors.empty());
}

// --- properties ---

TEST_F(ControlErrors, PropertiesStartAtTheirDefaults) {
    EXPECT_EQ(Control->TabHeight(), 170);
    EXPECT_EQ(Control->VisibleTabs(), (TQBVisibleTabs{qbtCriterions, qbtSelection, qbtGroupCriterions, qbtSorting}));
    EXPECT_EQ(Control->Options(), TQBOptions{qboRowSelect});
    EXPECT_EQ(Control->Version(), "2.95");
    EXPECT_EQ(Control->About(), "");
    Control->SetVersion("3");
    Control->SetAbout("x");
    EXPECT_EQ(Control->Version(), "2.95");
    EXPECT_EQ(Control->About(), "");
    EXPECT_FALSE(Control->AlterQuotes());
    EXPECT_TRUE(Control->CheckLinkFieldsType());
    EXPECT_FALSE(Control->KeywordsStored());
    EXPECT_FALSE(Control->FunctionsStored());
    EXPECT_FALSE(Control->AggregatesStored());
}

TEST_F(ControlErrors, AlterQuotesReadsDoubleQuotesAsNamesInsteadOfStrings) {
    const char* text = "SELECT d.\"Quantity\" FROM \"Order Details\" d";
    Control->SetAlterQuotes(true);
    EXPECT_TRUE(Control->AlterQuotes());
    SetSql(text);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Order Details d: Quantity"}));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  d.Quantity\r\n"
                     "FROM\r\n"
                     " [Order Details] d\r\n");
    Control->SetAlterQuotes(false);
    EXPECT_FALSE(Control->AlterQuotes());
    SetSql(text);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Order Details d:"}));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  d.'Quantity' AS FIELD_1\r\n"
                     "FROM\r\n"
                     " [Order Details] d\r\n");
}

TEST_F(ControlErrors, WordListsAreUpperCasedSortedAndStoredOnlyWhenChanged) {
    TStringList words;
    words.SetCommaText("zeta,alpha,Mid");
    Control->SetKeywords(words);
    EXPECT_EQ(Control->Keywords().GetCommaText(), "ALPHA,MID,ZETA");
    EXPECT_TRUE(Control->KeywordsStored());
    Control->SetFunctions(words);
    EXPECT_EQ(Control->Functions().GetCommaText(), "ALPHA,MID,ZETA");
    EXPECT_TRUE(Control->FunctionsStored());
    TStringList builtin;
    builtin.SetCommaText(Parser().GetScanner()->GetKeywordsText());
    Control->SetKeywords(builtin);
    EXPECT_FALSE(Control->KeywordsStored());
    words.SetCommaText("COUNT,SUM");
    Control->SetAggregates(words);
    EXPECT_TRUE(Control->AggregatesStored());
}

}  // namespace
