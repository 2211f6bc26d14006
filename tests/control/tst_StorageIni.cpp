// Saving and loading the diagram in INI files: the round trip of statement, boxes and bend
// points, the file's form, the rules for partial sections, and hostile or unreadable files,
// which end with one message and the diagram exactly as it was.
#include <random>

#include "StorageTestSupport.h"
#include "lexer/QBUtils.h"
#include "toolkit/IniFile.h"

namespace {

class IniStorage : public StorageTest {};

TEST_F(IniStorage, RoundTripBringsBackEveryBoxLinkAndTheStatement) {
    BuildArrangedDiagram();
    const std::vector<std::string> saved = Layout();
    ASSERT_TRUE(Control->SaveDiagramToIniFile(File("d.ini"), true));

    ClearCompletely();
    ASSERT_TRUE(Control->LoadDiagramFromIniFile(File("d.ini"), true));
    EXPECT_EQ(Layout(), saved);

    // A new control, scrolled elsewhere, reads the same diagram.
    std::unique_ptr<TMSSQLQueryBuilder> other(CreateQueryBuilder<TMSSQLQueryBuilder>());
    other->OnGetTableFields = Control->OnGetTableFields;
    other->ErrorHook = Control->ErrorHook;
    other->resize(600, 500);
    other->show();
    other->WorkArea()->horizontalScrollBar()->setValue(40);
    ASSERT_TRUE(other->LoadDiagramFromIniFile(File("d.ini"), true));
    EXPECT_EQ(Layout(other.get()), saved);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(IniStorage, WritesTheDocumentedFormInDiagramCoordinates) {
    BuildArrangedDiagram();
    ASSERT_TRUE(Control->SaveDiagramToIniFile(File("d.ini"), true));
    const TIniFile file(File("d.ini"));
    EXPECT_EQ(DecodeCharCodes(file.ReadString("Diagram properties", "SQL", ""), '"', '#'), Sql());
    EXPECT_EQ(file.ReadSection("o"), (std::vector<std::string>{"Left", "Top", "Height", "Width"}));
    EXPECT_EQ(file.ReadSection("e"), (std::vector<std::string>{"Left", "Top", "Height", "Width", "Expanded"}));
    EXPECT_EQ(file.ReadInteger("e", "Expanded", -1), 0);
    EXPECT_EQ(file.ReadInteger("c", "Left", -1), Box("c")->Left());
    const TQBLink& link = *Control->Links().Items(0);
    ASSERT_EQ(link.PointCount(), 6);
    for (int i = 0; i < 6; ++i) {
        // Stored as the link holds them, not shifted by the scroll position.
        EXPECT_EQ(file.ReadInteger(link.LinkName(), "PointX" + std::to_string(i), -1), link.Points()[i].X);
        EXPECT_EQ(file.ReadInteger(link.LinkName(), "PointY" + std::to_string(i), -1), link.Points()[i].Y);
    }
}

TEST_F(IniStorage, WithoutTheStatementOnlyTheLayoutTravels) {
    BuildArrangedDiagram();
    const std::vector<std::string> saved = Layout();
    ASSERT_TRUE(Control->SaveDiagramToIniFile(File("layout.ini"), false));
    EXPECT_FALSE(TIniFile(File("layout.ini")).SectionExists("Diagram properties"));

    // The statement is set again (boxes placed automatically); loading places them as saved
    // and, the file holding no statement, leaves the statement alone even when asked for it.
    ClearCompletely();
    SetSql(FourTables);
    const std::string statement = Sql();
    ASSERT_TRUE(Control->LoadDiagramFromIniFile(File("layout.ini"), true));
    EXPECT_EQ(Layout(), saved);
    EXPECT_EQ(Sql(), statement);

    // A file with a statement, read without it, leaves the statement alone too.
    ASSERT_TRUE(Control->SaveDiagramToIniFile(File("full.ini"), true));
    SetSql("SELECT c.CompanyName FROM Customers c");
    ASSERT_TRUE(Control->LoadDiagramFromIniFile(File("full.ini"), false));
    EXPECT_EQ(Sql(), "SELECT \r\n  c.CompanyName\r\nFROM\r\n Customers c\r\n");
}

TEST_F(IniStorage, SavingErasesTheSectionsItWritesAndKeepsOthers) {
    WriteFile("d.ini",
              "[Diagram properties]\nSQL=old\nOther=1\n[O]\nLeft=1\nStale=2\n[Gone]\nLeft=5\n[own notes]\nx=y\n");
    SetSql("SELECT o.OrderID FROM Orders o");
    ASSERT_TRUE(Control->SaveDiagramToIniFile(File("d.ini"), false));
    const TIniFile file(File("d.ini"));
    EXPECT_FALSE(file.SectionExists("Diagram properties"));
    EXPECT_FALSE(file.ValueExists("o", "Stale"));
    EXPECT_EQ(file.ReadInteger("o", "Left", -1), Box("o")->Left());
    EXPECT_EQ(file.ReadInteger("Gone", "Left", -1), 5);
    EXPECT_EQ(file.ReadString("own notes", "x", ""), "y");
}

TEST_F(IniStorage, PartialSectionsApplyOnlyWhatTheyHold) {
    SetSql(FourTables);
    TQBLink& link = *Control->Links().Items(0);
    const std::string name = link.LinkName();
    const std::vector<TPoint> before = link.Points();
    TQBTable& orders = *Box("o");
    const int left = orders.Left(), width = orders.Width();
    // Twelve points, written out of order and with noise; the "o" box gets only a top.
    std::string text = "[o]\nLeft=-1\nTop=40\n[" + name + "]\nPointX=1\nPointXa=2\nPointX01=3\nPointX99=4\n";
    for (int i = 11; i >= 0; --i)
        text += "PointY" + std::to_string(i) + "=" + std::to_string(500 + i) + "\nPointX" + std::to_string(i) + "=" +
                std::to_string(300 + 10 * i) + "\n";
    WriteFile("partial.ini", text);
    ASSERT_TRUE(Control->LoadDiagramFromIniFile(File("partial.ini"), true));
    EXPECT_EQ(orders.Left(), left);
    EXPECT_EQ(orders.Top(), 40);
    EXPECT_EQ(orders.Width(), width);
    ASSERT_EQ(link.PointCount(), 12);
    for (int i = 2; i < 10; ++i) EXPECT_EQ(link.Points()[i], (TPoint{300 + 10 * i, 500 + i})) << i;

    // Only point 0: the link keeps its points.
    SetSql(FourTables);
    TQBLink& fresh = *Control->Links().Items(0);
    const std::vector<TPoint> route = fresh.Points();
    WriteFile("one.ini", "[" + name + "]\nPointX0=5\nPointY0=6\n");
    ASSERT_TRUE(Control->LoadDiagramFromIniFile(File("one.ini"), true));
    EXPECT_EQ(fresh.Points(), route);
    EXPECT_EQ(before.size(), 4u);
}

TEST_F(IniStorage, PointsAndPlacesOutsideTheSurfaceAreClamped) {
    SetSql(FourTables);
    TQBLink& link = *Control->Links().Items(0);
    WriteFile("far.ini", "[o]\nLeft=2147483647\nTop=99999\nWidth=2000000000\nHeight=1\n[" + link.LinkName() +
                             "]\nPointX0=0\nPointY0=0\nPointX1=0\nPointY1=0\nPointX2=2147483647\nPointY2=70000\n"
                             "PointX3=0\nPointY3=0\nPointX4=0\nPointY4=0\n");
    ASSERT_TRUE(Control->LoadDiagramFromIniFile(File("far.ini"), true));
    EXPECT_EQ(Box("o")->Left(), TQBWorkArea::SurfaceSize);
    EXPECT_EQ(Box("o")->Top(), TQBWorkArea::SurfaceSize);
    EXPECT_EQ(Box("o")->Width(), TQBWorkArea::SurfaceSize);
    ASSERT_EQ(link.PointCount(), 5);
    EXPECT_EQ(link.Points()[2], (TPoint{TQBWorkArea::SurfaceSize, TQBWorkArea::SurfaceSize}));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(IniStorage, AStatementWithAnyTextSurvivesTheFile) {
    // Quotes, '#' after a quote, Chinese text, line breaks, tabs: the string literal keeps them.
    SetSql("SELECT c.CompanyName FROM Customers c WHERE c.CompanyName = '\"#1 \"\"x\"\"\r\n中文\t;=[a]'");
    const std::string statement = Sql();
    ASSERT_NE(statement.find("中文"), std::string::npos);
    ASSERT_TRUE(Control->SaveDiagramToIniFile(File("text.ini"), true));
    ClearCompletely();
    ASSERT_TRUE(Control->LoadDiagramFromIniFile(File("text.ini"), true));
    EXPECT_EQ(Sql(), statement);
}

// Each of these loads fails with one message and leaves statement, boxes, bend points and
// the host's parser error handler exactly as they were; nothing is written anywhere.
struct FailingLoad {
    const char* name;
    std::string text;  // the file's contents; empty: no file at all
};

class IniStorageFailures : public StorageTest, public ::testing::WithParamInterface<FailingLoad> {};

TEST_P(IniStorageFailures, EndWithAMessageAndChangeNothing) {
    BuildArrangedDiagram();
    bool handlerCalled = false;
    Control->SetOnParserError([&](TQBSelectParser*, const std::string&, const std::string&, int, int) { handlerCalled = true; });
    const std::vector<std::string> before = Layout();
    if (!GetParam().text.empty()) WriteFile("bad.ini", GetParam().text);
    const std::set<std::string> files = FolderEntries();

    EXPECT_FALSE(Control->LoadDiagramFromIniFile(File("bad.ini"), true));
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Layout(), before);
    EXPECT_EQ(FolderEntries(), files);
    EXPECT_FALSE(handlerCalled);
    EXPECT_TRUE(Control->GetOnParserError() != nullptr);
}

std::string SqlFile(const std::string& sql) {
    return "[Diagram properties]\nSQL=" + EncodeCharCodes(sql, '"', '#') + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniStorageFailures,
    ::testing::Values(FailingLoad{"missing_file", ""},
                      FailingLoad{"parse_error", SqlFile("SELECT FROM WHERE")},
                      FailingLoad{"unterminated_quote", SqlFile("SELECT 'abc FROM Orders")},
                      FailingLoad{"unknown_column", SqlFile("SELECT o.NoSuchColumn FROM Orders o")},
                      FailingLoad{"statement_of_10_MB", "[Diagram properties]\nSQL=\"" +
                                                            std::string(10 * 1024 * 1024, 'x') + "\"\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniStorage, AHostFailingHalfwayPutsTheDiagramBack) {
    BuildArrangedDiagram();
    const std::vector<std::string> before = Layout();
    WriteFile("other.ini", SqlFile("SELECT p.ProductName, s.CompanyName FROM Products p "
                                   "JOIN Suppliers s ON s.SupplierID = p.SupplierID"));
    Host->Throwing.insert("Suppliers");
    EXPECT_FALSE(Control->LoadDiagramFromIniFile(File("other.ini"), true));
    EXPECT_EQ(Errors, (std::vector<std::string>{"host failed on Suppliers"}));
    EXPECT_EQ(Layout(), before);
}

TEST_F(IniStorage, HostileFilesAreIgnoredOrRefusedNeverHarmful) {
    BuildArrangedDiagram();
    std::mt19937 random(18);
    std::string garbage(100000, '\0');
    for (char& c : garbage) c = static_cast<char>(random() % 256);
    ASSERT_TRUE(Control->SaveDiagramToIniFile(File("good.ini"), true));
    const std::string good = ReadFile("good.ini");
    const std::vector<std::pair<std::string, std::string>> files = {
        {"garbage.ini", garbage},
        {"truncated.ini", good.substr(0, good.size() / 2)},
        {"truncated_sql.ini", good.substr(0, good.find("FROM") + 2)},
        {"no_bracket.ini", "[o\nLeft=900\n[Diagram properties\nSQL=\"\"SELECT 1\"\"\n"},
        {"big_left.ini", "[o]\nLeft=" + std::string(10 * 1024 * 1024, '9') + "\n"}};
    for (const auto& [name, text] : files) WriteFile(name, text);
    const std::set<std::string> entries = FolderEntries();
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        BuildArrangedDiagram();
        const std::vector<std::string> before = Layout();
        Errors.clear();
        const bool loaded = Control->LoadDiagramFromIniFile(File(name), true);
        // Either refused with one message and nothing changed, or read as far as it makes sense.
        if (!loaded) {
            EXPECT_EQ(Errors.size(), 1u);
            EXPECT_EQ(Layout(), before);
        } else {
            EXPECT_TRUE(Errors.empty());
        }
    }
    // The garbage and the broken headers hold nothing readable: the diagram stays.
    BuildArrangedDiagram();
    const std::vector<std::string> before = Layout();
    for (const char* name : {"garbage.ini", "no_bracket.ini", "big_left.ini"}) {
        EXPECT_TRUE(Control->LoadDiagramFromIniFile(File(name), true)) << name;
        EXPECT_EQ(Layout(), before) << name;
    }
    EXPECT_EQ(FolderEntries(), entries);
}

TEST_F(IniStorage, AFailedSaveGivesAMessageAndLeavesTheOldFile) {
    SetSql(FourTables);
    WriteFile("kept.ini", "[a]\nk=1\n");
    std::filesystem::create_directories(Folder / "folder.ini");
    EXPECT_FALSE(Control->SaveDiagramToIniFile(File("missing/d.ini"), true));
    EXPECT_FALSE(Control->SaveDiagramToIniFile(File("folder.ini"), true));
    EXPECT_FALSE(Control->SaveDiagramToIniFile("", true));
    EXPECT_EQ(Errors.size(), 3u);
    EXPECT_EQ(FolderEntries(), (std::set<std::string>{"kept.ini", "folder.ini"}));
    EXPECT_EQ(ReadFile("kept.ini"), "[a]\nk=1\n");
}

TEST_F(IniStorage, TheControlLoadsWhenLoadedAndSavesWhenDestroyed) {
    BuildArrangedDiagram();
    const std::vector<std::string> saved = Layout();
    TQBStorage storage;
    storage.SetStorageType(qstIniFile);
    storage.SetIniFileName(File("auto.ini"));
    Control->SetStorage(storage);
    EXPECT_EQ(Control->Storage().GetIniFileName(), File("auto.ini"));
    Control.reset();
    ASSERT_TRUE(std::filesystem::exists(Folder / "auto.ini"));

    Control.reset(MakeControl());
    Area = Control->WorkArea();
    Control->OnGetTableFields = [this](const std::string& name, TDataSet*& set, TDataParameters*& params) {
        Host->Describe(name, set, params);
    };
    Control->ErrorHook = [this](const QString& text) { Errors.push_back(text.toStdString()); };
    Control->SetLoading(true);
    Control->SetStorage(storage);
    Control->Loaded();
    EXPECT_EQ(Layout(), saved);
    EXPECT_TRUE(Errors.empty());

    // A file not written yet is the first run: nothing is loaded and nothing is said.
    Control.reset(MakeControl());
    Area = Control->WorkArea();
    Control->ErrorHook = [this](const QString& text) { Errors.push_back(text.toStdString()); };
    storage.SetIniFileName(File("first-run.ini"));
    Control->SetStorage(storage);
    Control->Loaded();
    EXPECT_EQ(Control->Tables().Count(), 0);
    EXPECT_TRUE(Errors.empty());
    // Designing, nothing is saved.
    Control->SetDesigning(true);
    Control.reset();
    EXPECT_FALSE(std::filesystem::exists(Folder / "first-run.ini"));
}

TEST(DiagramFileDialog, GivesTheLoadAndSaveDialogsTheirSettings) {
    const TQBFileDialogSettings load = DiagramFileDialogSettings(false);
    EXPECT_EQ(load.Title.toStdString(), "Load Diagram");
    EXPECT_EQ(load.Filter.toStdString(), "INI Files (*.ini);;All Files (*)");
    EXPECT_EQ(load.DefaultSuffix.toStdString(), "ini");
    EXPECT_EQ(DiagramFileDialogSettings(true).Title.toStdString(), "Save Diagram");
    EXPECT_EQ(QtFileFilter("SQL Files (*.sql)|*.sql|Text Files (*.txt)|*.txt;*.text").toStdString(),
              "SQL Files (*.sql);;Text Files (*.txt *.text)");
}

TEST(StorageSettings, DefaultsAndAssignment) {
    TQBStorage storage;
    EXPECT_TRUE(storage.GetIncludeSQL());
    EXPECT_EQ(storage.GetIniFileName(), "");
    EXPECT_EQ(storage.GetRegistryRoot(), 2147483649u);
    EXPECT_EQ(storage.GetRegistryPath(), "");
    EXPECT_EQ(storage.GetStorageType(), qstNone);
    TQBStorage other;
    other.SetIncludeSQL(false);
    other.SetIniFileName("a.ini");
    other.SetRegistryRoot(7);
    other.SetRegistryPath("Software\\x");
    other.SetStorageType(qstRegistry);
    storage.Assign(other);
    EXPECT_FALSE(storage.GetIncludeSQL());
    EXPECT_EQ(storage.GetIniFileName(), "a.ini");
    EXPECT_EQ(storage.GetRegistryRoot(), 7u);
    EXPECT_EQ(storage.GetRegistryPath(), "Software\\x");
    EXPECT_EQ(storage.EffectiveType(), qstRegistry);
    storage.SetRegistryPath("  ");
    EXPECT_EQ(storage.EffectiveType(), qstNone);
    storage.SetStorageType(qstIniFile);
    EXPECT_EQ(storage.EffectiveType(), qstIniFile);
}

}  // namespace
