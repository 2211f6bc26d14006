// The connection dialog: the two connection-string formats, names that would inject keys,
// the enabling rule, and Cancel leaving the connection alone.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "data/ConnectionString.h"
#include "data/DataConnection.h"
#include "data/DataError.h"
#include "host/ConnectForm.h"

#include <functional>
#include <string>

namespace {

constexpr const char* UserFormat =
    "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=%s;Initial Catalog=%s;Data Source=%s";
constexpr const char* IntegratedFormat =
    "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=%s;Data Source=%s";

// Answers the dialog with `fill` run on it, then OK (true) or Cancel (false).
class TConnectDialogAnswer {
public:
    TConnectDialogAnswer(std::function<void(TfmConnect&)> fill, bool ok) : FFill(std::move(fill)), FOk(ok) {}
    TDialogRunner Runner() {
        return [this](QDialog& dialog) {
            Shown = true;
            auto& form = static_cast<TfmConnect&>(dialog);
            if (FFill) FFill(form);
            QTest::mouseClick(FOk ? form.buOk : form.buCancel, Qt::LeftButton);
            return form.result() == QDialog::Accepted;
        };
    }
    bool Shown = false;

private:
    std::function<void(TfmConnect&)> FFill;
    bool FOk;
};

// A connection to a server that does not exist: Open fails quickly, which is all these tests
// need (the string is what they look at).
TDataConnection& NowhereConnection(const std::string& text) {
    static TDataConnection connection;
    connection.Close();
    connection.SetConnectionString(text);
    return connection;
}

TEST(ConnectFormTest, FormatsFillTheDialogFieldsInOrder) {
    struct TCase {
        bool Integrated;
        const char* User;
        std::string Expected;
    };
    const TCase cases[] = {
        {true, "", "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                   "Initial Catalog=db;Data Source=srv"},
        {false, "sa", "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Initial Catalog=db;Data Source=srv"},
    };
    for (const TCase& c : cases) {
        TDataConnection& connection = NowhereConnection("Provider=SQLOLEDB.1;Data Source=old");
        TConnectDialogAnswer answer(
            [&](TfmConnect& dialog) {
                dialog.edHost->setText("srv");
                dialog.edDBName->setText("db");
                QTest::mouseClick(c.Integrated ? dialog.raNTSecurity : dialog.raSpecificUser, Qt::LeftButton);
                dialog.edUserName->setText(QString::fromUtf8(c.User));
            },
            true);
        EXPECT_THROW(EditConnection(&connection, UserFormat, IntegratedFormat, nullptr, answer.Runner()), EDataError);
        EXPECT_TRUE(answer.Shown);
        EXPECT_EQ(connection.GetConnectionString(), c.Expected);
    }
}

TEST(ConnectFormTest, HostileNamesStayOneValueAndReadBack) {
    TDataConnection& connection = NowhereConnection("Provider=SQLOLEDB.1;Data Source=old");
    TConnectDialogAnswer answer(
        [](TfmConnect& dialog) {
            dialog.edHost->setText("srv;Driver={evil}");
            dialog.edDBName->setText("my db");
            QTest::mouseClick(dialog.raSpecificUser, Qt::LeftButton);
            dialog.edUserName->setText("u=1");
        },
        true);
    EXPECT_THROW(EditConnection(&connection, UserFormat, IntegratedFormat, nullptr, answer.Runner()), EDataError);
    const std::string text = connection.GetConnectionString();
    EXPECT_EQ(text, "Provider=SQLOLEDB.1;Persist Security Info=False;User ID={u=1};Initial Catalog={my db};"
                    "Data Source={srv;Driver={evil}}}");
    EXPECT_EQ(GetConnectionValue(text, ConnectionDataSource), "srv;Driver={evil}");
    EXPECT_EQ(GetConnectionValue(text, ConnectionInitialCatalog), "my db");
    EXPECT_EQ(GetConnectionValue(text, ConnectionUserID), "u=1");
    // The host name never becomes a key of the translated string.
    const TOdbcTarget target = TranslateConnectionString(text, TOdbcDriverNames{});
    bool sawDriver = false;
    for (const TConnectionItem& item : SplitConnectionString(target.ConnectionString))
        if (item.Key == "Driver") {
            EXPECT_FALSE(sawDriver) << target.ConnectionString;
            sawDriver = true;
        }
}

TEST(ConnectFormTest, DialogStartsFromTheCurrentString) {
    struct TCase {
        const char* Current;
        const char* IntegratedFormat;
        bool SpecificUser;
        bool NTEnabled;
    };
    const TCase cases[] = {
        {"Provider=SQLOLEDB.1;Data Source=h;Initial Catalog=d", IntegratedFormat, false, true},
        {"Provider=SQLOLEDB.1;Data Source=h;User ID=bob;Initial Catalog=d", IntegratedFormat, true, true},
        {"Provider=SQLOLEDB.1;Data Source=h;Initial Catalog=d", "", true, false},
    };
    for (const TCase& c : cases) {
        TDataConnection& connection = NowhereConnection(c.Current);
        connection.SetLoginPrompt(true);
        TConnectDialogAnswer answer(
            [&](TfmConnect& dialog) {
                EXPECT_EQ(dialog.edHost->text(), "h");
                EXPECT_EQ(dialog.edDBName->text(), "d");
                EXPECT_EQ(dialog.raSpecificUser->isChecked(), c.SpecificUser) << c.Current;
                EXPECT_EQ(dialog.raNTSecurity->isEnabled(), c.NTEnabled) << c.Current;
                EXPECT_EQ(dialog.edUserName->isEnabled(), c.SpecificUser);
                EXPECT_EQ(dialog.chLoginPrompt->isEnabled(), c.SpecificUser);
                EXPECT_TRUE(dialog.chLoginPrompt->isChecked());
            },
            false);
        EXPECT_FALSE(EditConnection(&connection, UserFormat, c.IntegratedFormat, nullptr, answer.Runner()));
        EXPECT_TRUE(answer.Shown);
        EXPECT_EQ(connection.GetConnectionString(), c.Current);  // Cancel changes nothing
    }
}

TEST(ConnectFormTest, RadioButtonsSwitchTheUserControls) {
    TfmConnect dialog;
    dialog.show();
    EXPECT_TRUE(dialog.raNTSecurity->isChecked());
    EXPECT_FALSE(dialog.edUserName->isEnabled());
    QTest::mouseClick(dialog.raSpecificUser, Qt::LeftButton);
    EXPECT_TRUE(dialog.edUserName->isEnabled());
    EXPECT_TRUE(dialog.laUserName->isEnabled());
    EXPECT_TRUE(dialog.chLoginPrompt->isEnabled());
    QTest::mouseClick(dialog.raNTSecurity, Qt::LeftButton);
    EXPECT_FALSE(dialog.edUserName->isEnabled());
    EXPECT_FALSE(dialog.chLoginPrompt->isEnabled());
    EXPECT_EQ(dialog.windowTitle(), "Connect To Database");
}

TEST(ConnectFormTest, NoConnectionGivesFalseWithoutADialog) {
    TConnectDialogAnswer answer(nullptr, true);
    EXPECT_FALSE(EditConnection(nullptr, UserFormat, IntegratedFormat, nullptr, answer.Runner()));
    EXPECT_FALSE(answer.Shown);
}

}  // namespace
