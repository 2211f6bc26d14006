// The connection dialog: host, database and either integrated security or a named user, and
// the operation that runs it to build a new connection string and reconnect.
#pragma once

#include <QDialog>

#include <string>

#include "diagram/QBDialogRunner.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TDataConnection;

class TfmConnect final : public QDialog {
    Q_OBJECT
public:
    explicit TfmConnect(QWidget* parent = nullptr);

    // Enables the user name and the password prompt exactly when a specific user is chosen.
    void UpdateEnabling();

    QLabel* laHost;
    QLineEdit* edHost;
    QLabel* laDBName;
    QLineEdit* edDBName;
    QRadioButton* raNTSecurity;
    QRadioButton* raSpecificUser;
    QLabel* laUserName;
    QLineEdit* edUserName;
    QCheckBox* chLoginPrompt;
    QPushButton* buOk;
    QPushButton* buCancel;
};

// Fills `format` by replacing each "%s", in order, with the next value in ODBC's quoting, so a
// value holding ";", "=", braces or blanks stays one value of its key.
std::string FormatConnectionString(const std::string& format, std::initializer_list<std::string> values);

// Runs the dialog on `connection`'s current string. On OK the connection is closed, given the
// integrated format (database, host) or the user format (user, database, host), its login
// prompt set from the dialog, and opened; a failure to connect propagates after the dialog is
// gone, the connection keeping the new string. False at once without a connection or on Cancel.
// The dialog runs through Runner (the window's dialog seam), or modally without one.
bool EditConnection(TDataConnection* connection, const std::string& userFormat,
                    const std::string& integratedFormat, QWidget* parent = nullptr,
                    const TDialogRunner& runner = {});
