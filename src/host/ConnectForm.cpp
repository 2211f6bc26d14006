#include "host/ConnectForm.h"

#include "data/ConnectionString.h"
#include "data/DataConnection.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>

TfmConnect::TfmConnect(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Connect To Database"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPointSize(8);
    setFont(dialogFont);

    laHost = new QLabel(QStringLiteral("Host"), this);
    edHost = new QLineEdit(this);
    laDBName = new QLabel(QStringLiteral("Database Name"), this);
    edDBName = new QLineEdit(this);
    raNTSecurity = new QRadioButton(QStringLiteral("Use Windows NT Integrated Security"), this);
    raSpecificUser = new QRadioButton(QStringLiteral("Use a specific user name and password"), this);
    laUserName = new QLabel(QStringLiteral("User Name"), this);
    edUserName = new QLineEdit(this);
    chLoginPrompt = new QCheckBox(QStringLiteral("Prompt for password"), this);
    buOk = new QPushButton(QStringLiteral("&OK"), this);
    buCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    laHost->setBuddy(edHost);
    laDBName->setBuddy(edDBName);
    laUserName->setBuddy(edUserName);
    raNTSecurity->setChecked(true);  // the two radio buttons share their parent: one group

    auto* fields = new QGridLayout;
    fields->setContentsMargins(8, 8, 8, 4);
    fields->setVerticalSpacing(4);
    fields->addWidget(laHost, 0, 0);
    fields->addWidget(edHost, 0, 1);
    fields->addWidget(laDBName, 1, 0);
    fields->addWidget(edDBName, 1, 1);
    fields->addWidget(raNTSecurity, 2, 0, 1, 2);
    fields->addWidget(raSpecificUser, 3, 0, 1, 2);
    fields->addWidget(laUserName, 4, 0);
    fields->addWidget(edUserName, 4, 1);
    fields->addWidget(chLoginPrompt, 5, 1);

    // The buttons sit on a 44-pixel panel along the bottom.
    auto* buttonPanel = new QFrame(this);
    buttonPanel->setFixedHeight(44);
    auto* buttons = new QHBoxLayout(buttonPanel);
    buttons->addStretch();
    buttons->addWidget(buOk);
    buttons->addWidget(buCancel);
    buOk->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addWidget(buttonPanel);

    connect(buOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(buCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(raNTSecurity, &QRadioButton::clicked, this, &TfmConnect::UpdateEnabling);
    connect(raSpecificUser, &QRadioButton::clicked, this, &TfmConnect::UpdateEnabling);
    UpdateEnabling();
    resize(330, 212);
}

void TfmConnect::UpdateEnabling() {
    const bool user = raSpecificUser->isChecked();
    laUserName->setEnabled(user);
    edUserName->setEnabled(user);
    chLoginPrompt->setEnabled(user);
}

namespace {

// A name typed into the dialog: braced by ODBC's rule, and also whenever it holds a blank, so
// what the user typed is one value whatever reads the string.
std::string DialogValue(const std::string& value) {
    std::string quoted = OdbcQuoteValue(value);
    if (quoted == value && value.find_first_of(" \t") != std::string::npos) quoted = "{" + value + "}";
    return quoted;
}

}  // namespace

std::string FormatConnectionString(const std::string& format, std::initializer_list<std::string> values) {
    std::string result;
    auto value = values.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            if (value != values.end()) result += DialogValue(*value++);
            ++i;
            continue;
        }
        result += format[i];
    }
    return result;
}

bool EditConnection(TDataConnection* connection, const std::string& userFormat,
                    const std::string& integratedFormat, QWidget* parent, const TDialogRunner& runner) {
    if (!connection) return false;
    std::string newString;
    bool loginPrompt = false;
    {
        auto dialog = std::make_unique<TfmConnect>(parent);
        const auto value = [&](int which) { return QString::fromStdString(GetConnectionValue(*connection, which)); };
        dialog->edHost->setText(value(ConnectionDataSource));
        dialog->edDBName->setText(value(ConnectionInitialCatalog));
        dialog->edUserName->setText(value(ConnectionUserID));
        dialog->chLoginPrompt->setChecked(connection->GetLoginPrompt());
        if (!dialog->edUserName->text().isEmpty() || integratedFormat.empty()) dialog->raSpecificUser->setChecked(true);
        dialog->raNTSecurity->setEnabled(!integratedFormat.empty());
        dialog->UpdateEnabling();
        if (!RunDialog(*dialog, runner)) return false;

        const std::string host = dialog->edHost->text().toStdString();
        const std::string database = dialog->edDBName->text().toStdString();
        if (dialog->raNTSecurity->isChecked())
            newString = FormatConnectionString(integratedFormat, {database, host});
        else
            newString = FormatConnectionString(userFormat, {dialog->edUserName->text().toStdString(), database, host});
        loginPrompt = dialog->chLoginPrompt->isChecked();
    }
    connection->Close();
    connection->SetConnectionString(newString);
    connection->SetLoginPrompt(loginPrompt);
    connection->Open();
    return true;
}
