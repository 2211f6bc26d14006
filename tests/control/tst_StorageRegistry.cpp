// Saving and loading the diagram under a key of the per-user registry, kept by QSettings in a
// private folder of each test (never the real user's settings, which are checked untouched):
// the round trip, stale keys removed, key paths that would reach outside their group refused,
// odd names kept inside one key, and the statement surviving every store whatever it holds.
#include <QSettings>
#include <QTemporaryDir>

#include <random>

#include <sys/stat.h>

#include "StorageTestSupport.h"
#include "control/QBStorageDiagram.h"
#include "control/QBStorageRegistry.h"
#include "toolkit/IniFile.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t CurrentUser = TQBStorage::CurrentUserRoot;

// The real user's hive file: its state before and after each test must be the same.
std::string RealHiveState() {
    const QByteArray xdg = qgetenv("KORVEL_REAL_XDG_CONFIG_HOME");
    const std::string folder = !xdg.isEmpty() ? xdg.toStdString() : std::string(getenv("HOME") ? getenv("HOME") : "/") + "/.config";
    struct stat info {};
    const std::string path = folder + "/Korvel/HKEY_CURRENT_USER.conf";
    if (::stat(path.c_str(), &info) != 0) return "absent";
    return std::to_string(info.st_size) + "@" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

class RegistryStorage : public StorageTest {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("KORVEL_REAL_XDG_CONFIG_HOME"))
            qputenv("KORVEL_REAL_XDG_CONFIG_HOME", qgetenv("XDG_CONFIG_HOME"));
        RealBefore = RealHiveState();
        StorageTest::SetUp();
        const QString config = QString::fromStdString((Folder / "config").string());
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
    }

    void TearDown() override {
        StorageTest::TearDown();
        EXPECT_EQ(RealHiveState(), RealBefore) << "the real user's settings were touched";
    }

    fs::path Hive() const { return Folder / "config" / "Korvel" / "HKEY_CURRENT_USER.conf"; }
    std::string HiveText() const { return ReadFile("config/Korvel/HKEY_CURRENT_USER.conf"); }
    QStringList SubKeys(const std::string& path) const {
        return TQBRegistry(CurrentUser).SubKeys(TQBRegistry::GroupOfKeyPath(path));
    }

    std::string RealBefore;
};

TEST_F(RegistryStorage, RoundTripBringsBackEveryBoxLinkAndTheStatement) {
    BuildArrangedDiagram();
    const std::vector<std::string> saved = Layout();
    ASSERT_TRUE(Control->SaveDiagramToRegistry(CurrentUser, "Software\\Korvel\\Diagram", true));
    ASSERT_TRUE(fs::exists(Hive()));

    ClearCompletely();
    ASSERT_TRUE(Control->LoadDiagramFromRegistry(CurrentUser, "Software\\Korvel\\Diagram", true));
    EXPECT_EQ(Layout(), saved);
    EXPECT_TRUE(Errors.empty());

    // Without the statement: the layout comes back, the statement set meanwhile stays.
    ASSERT_TRUE(Control->SaveDiagramToRegistry(CurrentUser, "Software\\Korvel\\Layout", false));
    ClearCompletely();
    SetSql(FourTables);
    const std::string statement = Sql();
    ASSERT_TRUE(Control->LoadDiagramFromRegistry(CurrentUser, "Software\\Korvel\\Layout", true));
    EXPECT_EQ(Layout(), saved);
    EXPECT_EQ(Sql(), statement);
}

TEST_F(RegistryStorage, WritesTheDocumentedKeysAndRemovesStaleOnes) {
    BuildArrangedDiagram();
    ASSERT_TRUE(Control->SaveDiagramToRegistry(CurrentUser, "Software\\Korvel\\D", true));
    EXPECT_EQ(SubKeys("Software\\Korvel\\D"), (QStringList{"Links", "Tables"}));
    EXPECT_EQ(SubKeys("Software\\Korvel\\D\\Tables").size(), 4);
    const TQBLink& link = *Control->Links().Items(0);
    const TQBRegistry registry(CurrentUser);
    const QString linkKey = "Software/Korvel/D/Links/" + QString::fromStdString(link.LinkName());
    EXPECT_EQ(registry.SubKeys(linkKey).size(), 6);
    int x = -1;
    ASSERT_TRUE(registry.ReadInteger(linkKey + "/Point3", "PointX", x));
    EXPECT_EQ(x, link.Points()[3].X);
    int expanded = -1;
    EXPECT_TRUE(registry.ReadInteger("Software/Korvel/D/Tables/e", "Expanded", expanded));
    EXPECT_EQ(expanded, 0);
    EXPECT_FALSE(registry.ReadInteger("Software/Korvel/D/Tables/o", "Expanded", expanded));
    std::string sql;
    ASSERT_TRUE(registry.ReadBytes("Software/Korvel/D", "SQL", sql));
    EXPECT_EQ(sql, Sql());

    SetSql("SELECT c.CompanyName FROM Customers c");
    ASSERT_TRUE(Control->SaveDiagramToRegistry(CurrentUser, "Software\\Korvel\\D", false));
    EXPECT_EQ(SubKeys("Software\\Korvel\\D"), (QStringList{"Tables"}));
    EXPECT_EQ(SubKeys("Software\\Korvel\\D\\Tables"), (QStringList{"c"}));
    EXPECT_FALSE(TQBRegistry(CurrentUser).ReadBytes("Software/Korvel/D", "SQL", sql));
}

struct BadPath {
    const char* name;
    std::string path;
};

class RegistryPaths : public RegistryStorage, public ::testing::WithParamInterface<BadPath> {};

TEST_P(RegistryPaths, ThatCouldReachOutsideTheirKeyAreRefused) {
    SetSql(FourTables);
    ASSERT_TRUE(Control->SaveDiagramToRegistry(CurrentUser, "Software\\Korvel\\Keep", true));
    ASSERT_TRUE(Control->SaveDiagramToRegistry(CurrentUser, "Other", true));
    const std::string hive = HiveText();
    const std::vector<std::string> before = Layout();

    EXPECT_FALSE(Control->SaveDiagramToRegistry(CurrentUser, GetParam().path, true));
    EXPECT_FALSE(Control->LoadDiagramFromRegistry(CurrentUser, GetParam().path, true));
    EXPECT_EQ(Errors.size(), 2u);
    EXPECT_EQ(HiveText(), hive);
    EXPECT_EQ(Layout(), before);
    EXPECT_EQ(FolderEntries(), (std::set<std::string>{"config", "config/Korvel", "config/Korvel/HKEY_CURRENT_USER.conf"}));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RegistryPaths,
    ::testing::Values(BadPath{"empty", ""}, BadPath{"blank", "   "}, BadPath{"parent", ".."},
                      BadPath{"parent_inside", "Software\\..\\Other"}, BadPath{"dot", "Software\\."},
                      BadPath{"empty_component", "Software\\\\Korvel"}, BadPath{"leading_separator", "\\Software"},
                      BadPath{"trailing_separator", "Software\\"}, BadPath{"slash", "Software/Korvel"},
                      BadPath{"nul", std::string("Soft\0ware", 9)}, BadPath{"line_break", "Soft\nware"},
                      BadPath{"long_component", "Software\\" + std::string(300, 'k')},
                      BadPath{"broken_utf8", "Software\\\xE4\xB8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryKeyNames, KeepAnyNameInsideOneKey) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Orders", "Orders"},         {"Order Details", "Order Details"}, {"a/b", "a%2Fb"},
        {"a\\b", "a%5Cb"},             {"..", "%2E%2E"},                  {".", "%2E"},
        {"", "%"},                     {"100%", "100%25"},                {"x\ny", "x%0Ay"},
        {"订单", "订单"},              {"\xE4\xB8", "%E4%B8"},             {"...", "..."}};
    for (const auto& [name, key] : cases) EXPECT_EQ(TQBRegistry::KeyName(name).toStdString(), key) << name;
    EXPECT_EQ(TQBRegistry::GroupOfKeyPath("Software\\Korvel\\订单").toStdString(), "Software/Korvel/订单");
}

TEST_F(RegistryStorage, OddTableKeysStayInsideTheirKey) {
    SetSql("SELECT [a/b\\..].OrderID FROM Orders [a/b\\..]");
    ASSERT_EQ(Control->Tables().Count(), 1);
    TQBTable& box = *Control->Tables().Items(0);
    ASSERT_EQ(box.Key(), "[a/b\\..]");
    box.MoveTo(TRect{444, 333, 0, 0});
    ASSERT_TRUE(Control->SaveDiagramToRegistry(CurrentUser, "Software\\Korvel\\Odd", true));
    EXPECT_EQ(SubKeys("Software\\Korvel\\Odd\\Tables"), (QStringList{"[a%2Fb%5C..]"}));
    ClearCompletely();
    ASSERT_TRUE(Control->LoadDiagramFromRegistry(CurrentUser, "Software\\Korvel\\Odd", true));
    ASSERT_EQ(Control->Tables().Count(), 1);
    EXPECT_EQ(Control->Tables().Items(0)->Left(), 444);
    EXPECT_EQ(Control->Tables().Items(0)->Top(), 333);
}

TEST_F(RegistryStorage, AMissingKeyOrAnotherRootGivesAMessageAndChangesNothing) {
    BuildArrangedDiagram();
    const std::vector<std::string> before = Layout();
    EXPECT_FALSE(Control->LoadDiagramFromRegistry(CurrentUser, "Software\\Korvel\\Nothing", true));
    EXPECT_FALSE(Control->LoadDiagramFromRegistry(0x80000002u, "Software\\Korvel", true));
    EXPECT_FALSE(Control->SaveDiagramToRegistry(0x80000002u, "Software\\Korvel", true));
    EXPECT_EQ(Errors.size(), 3u);
    EXPECT_EQ(Errors[1], "不支持的注册表根键：80000002");
    EXPECT_EQ(Layout(), before);
    EXPECT_FALSE(fs::exists(Folder / "config"));
}

TEST_F(RegistryStorage, HostileStoresAreRefusedOrIgnored) {
    BuildArrangedDiagram();
    const std::vector<std::string> before = Layout();
    {
        TQBRegistry registry(CurrentUser);
        registry.WriteBytes("Big", "SQL", std::string(10 * 1024 * 1024, 'x'));
        registry.WriteBytes("Bad", "SQL", "SELECT FROM WHERE");
        registry.WriteBytes("Odd/Tables/o", "Left", "not a number");
        registry.WriteInteger("Odd/Links/x/Point0", "PointX", 1);
        registry.Commit("test");
    }
    EXPECT_FALSE(Control->LoadDiagramFromRegistry(CurrentUser, "Big", true));
    EXPECT_FALSE(Control->LoadDiagramFromRegistry(CurrentUser, "Bad", true));
    EXPECT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Layout(), before);
    EXPECT_TRUE(Control->LoadDiagramFromRegistry(CurrentUser, "Odd", true));
    EXPECT_EQ(Layout(), before);

    // A hive file of garbage: read as far as it goes, never a crash.
    std::mt19937 random(18);
    std::string garbage(100000, '\0');
    for (char& c : garbage) c = static_cast<char>(random() % 256);
    WriteFile("config/Korvel/HKEY_CURRENT_USER.conf", garbage);
    Errors.clear();
    const bool loaded = Control->LoadDiagramFromRegistry(CurrentUser, "Software\\Korvel", true);
    EXPECT_EQ(Errors.size(), loaded ? 0u : 1u);
    EXPECT_EQ(Layout(), before);
    // Saving over it either works, and then reads back, or says why.
    Errors.clear();
    if (Control->SaveDiagramToRegistry(CurrentUser, "Software\\Korvel", true)) {
        ClearCompletely();
        EXPECT_TRUE(Control->LoadDiagramFromRegistry(CurrentUser, "Software\\Korvel", true));
        EXPECT_EQ(Layout(), before);
    } else {
        EXPECT_EQ(Errors.size(), 1u);
    }
}

TEST_F(RegistryStorage, TheControlLoadsWhenLoadedAndSavesWhenDestroyed) {
    BuildArrangedDiagram();
    const std::vector<std::string> saved = Layout();
    TQBStorage storage;
    storage.SetStorageType(qstRegistry);
    storage.SetRegistryPath("Software\\Korvel\\Auto");
    Control->SetStorage(storage);
    Control.reset();
    ASSERT_TRUE(fs::exists(Hive()));

    Control.reset(MakeControl());
    Control->OnGetTableFields = [this](const std::string& name, TDataSet*& set, TDataParameters*& params) {
        Host->Describe(name, set, params);
    };
    Control->ErrorHook = [this](const QString& text) { Errors.push_back(text.toStdString()); };
    Control->SetStorage(storage);
    Control->Loaded();
    EXPECT_EQ(Layout(), saved);

    storage.SetRegistryPath("Software\\Korvel\\Never");
    Control->SetStorage(storage);
    Control->Loaded();
    EXPECT_EQ(Layout(), saved);
    EXPECT_TRUE(Errors.empty());
}

// Every golden input, and texts made to trouble the encodings, come back from both stores
// byte for byte.
TEST_F(RegistryStorage, StatementsSurviveBothStoresWhateverTheyHold) {
    std::vector<std::string> texts = {"", "\"#1", "a\"#1b", "\"\"", "#13#10", "line\r\nbreaks\nand\rmore\t",
                                      "SELECT '中文' AS [列], \"x\"\"y\" FROM t -- #comment",
                                      std::string("nul\0inside", 10)};
    for (const auto& entry : fs::directory_iterator(std::string(KORVEL_SOURCE_DIR) + "/tests/golden")) {
        if (entry.path().extension() != ".sql") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(texts.size(), 50u);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string& text = texts[i];
        TIniFile file(File("statement.ini"));
        QBStorage::MakeIniWriter(file, QBStorage::TQBIniCopy::File)->Statement(&text);
        file.UpdateFile();
        const TIniFile reread(File("statement.ini"));
        EXPECT_EQ(QBStorage::MakeIniReader(reread)->Statement(), std::optional<std::string>(text)) << "text " << i;

        {
            TQBRegistry registry(CurrentUser);
            registry.WriteBytes("Software/Korvel/Text", "SQL", text);
            registry.Commit("Software\\Korvel\\Text");
        }
        std::string read;
        ASSERT_TRUE(TQBRegistry(CurrentUser).ReadBytes("Software/Korvel/Text", "SQL", read));
        EXPECT_EQ(read, text) << "text " << i;
    }
}

}  // namespace
