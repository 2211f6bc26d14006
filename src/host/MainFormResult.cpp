// The main window's preview and files: Execute runs the statement being built (only one
// complete SELECT ever reaches the server) into the result page; SQL text files are loaded
// into and saved from the memo; the hidden connect and disconnect commands; the password
// prompt of the login.
#include "host/MainForm.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QStatusBar>
#include <QTabWidget>

#include "control/QBMSWindow.h"
#include "data/DataConnection.h"
#include "data/DataQuery.h"
#include "diagram/QBFloatPanel.h"
#include "host/ConnectForm.h"
#include "host/PreviewRunner.h"
#include "host/PreviewStatement.h"
#include "host/ResultView.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

namespace {

QString Text(const char* resource) { return QString::fromUtf8(resource); }

// The memo separates lines with LF; SQL files, like the generated statement, use CR LF.
QByteArray FileBytes(const QString& memoText) {
    QByteArray bytes = memoText.toUtf8();
    bytes.replace("\r\n", "\n");
    bytes.replace("\n", "\r\n");
    return bytes;
}

QString MemoText(const QByteArray& fileBytes) {
    QByteArray bytes = fileBytes;
    bytes.replace("\r\n", "\n");
    return QString::fromUtf8(bytes);
}

}  // namespace

// --- the preview ---

void TfmMain::ClosePreview() {
    FResultView->SetDataSet(nullptr);  // the grid lets go before the query closes
    FQuery->Close();
    Pages->setTabVisible(pgResult, false);
}

bool TfmMain::Execute() {
    const int page = Pages->currentIndex();
    if (page == pgResult) return false;
    const std::string text =
        page == pgBuilder ? FQueryBuilder->GetSQL() : mmSQL->toPlainText().toUtf8().toStdString();
    // The page-leave rule first: edits of the SQL page reach the control, or nothing runs.
    if (page == pgSQL) {
        if (!ApplySQLPage()) return false;
    } else {
        SetMemoText(FQueryBuilder->GetSQL());
    }
    const std::string problem = PreviewStatementError(text, FQueryBuilder->AlterQuotes());
    if (!problem.empty()) {
        Message({Text(QBResource::SHostPromptCaption), QString::fromUtf8(problem.c_str()), QMessageBox::Warning,
                 QMessageBox::Ok, QMessageBox::Ok});
        return false;
    }
    ClosePreview();
    FQuery->SetSQL(text);
    bool opened = false;
    try {
        opened = OpenWithProgress(*FQuery, this);
    } catch (const std::exception& e) {
        Message({QApplication::applicationName(), QString::fromUtf8(e.what()), QMessageBox::Critical, QMessageBox::Ok,
                 QMessageBox::Ok});
        return false;
    }
    if (!opened) {
        statusBar()->showMessage(Text(QBResource::SPreviewCancelled));
        return false;
    }
    FResultView->SetDataSet(FQuery.get());
    Pages->setTabVisible(pgResult, true);
    Pages->setCurrentIndex(pgResult);
    return true;
}

// --- SQL files ---

QString TfmMain::AskFileName(bool save, const QString& title, const QString& filter, const QString& suffix) {
    if (FileDialogHook) return FileDialogHook(save, title, filter, suffix);
    QFileDialog dialog(this, title, QString(), filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                    : QString();
}

bool TfmMain::SaveSQLFile() {
    const QString file = AskFileName(true, Text(QBResource::SHostSaveSQLTitle), Text(QBResource::SHostSQLFileFilter),
                                     QStringLiteral("sql"));
    if (file.isEmpty()) return false;
    if (Pages->currentIndex() == pgBuilder) SetMemoText(FQueryBuilder->GetSQL());
    // Written to a temporary file and renamed: a failed save leaves the old file as it was.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(FileBytes(mmSQL->toPlainText())) < 0 || !out.commit()) {
        Message({Text(QBResource::SHostConnectErrorCaption),
                 QString::fromStdString(FormatMessage(QBResource::SHostFileWriteFailed,
                                                      {file.toStdString(), out.errorString().toStdString()})),
                 QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok});
        return false;
    }
    return true;
}

bool TfmMain::LoadSQLFile() {
    const QString file = AskFileName(false, Text(QBResource::SHostLoadSQLTitle), Text(QBResource::SHostSQLFileFilter),
                                     QStringLiteral("sql"));
    if (file.isEmpty()) return false;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        Message({Text(QBResource::SHostConnectErrorCaption),
                 QString::fromStdString(FormatMessage(QBResource::SHostFileReadFailed,
                                                      {file.toStdString(), in.errorString().toStdString()})),
                 QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok});
        return false;
    }
    const QString text = MemoText(in.readAll());
    ClosePreview();
    const bool onSQLPage = Pages->currentIndex() == pgSQL;
    mmSQL->setPlainText(text);
    mmSQL->document()->setModified(onSQLPage);
    const std::string failure = LoadStatement(text.toUtf8().toStdString());
    if (!failure.empty()) {
        // The file's text is kept as it is on the SQL page, where the error is shown, and is
        // applied when the user leaves the page after mending it.
        mmSQL->document()->setModified(true);
        if (!onSQLPage) {
            FLoading = true;
            Pages->setCurrentIndex(pgSQL);
            FPage = pgSQL;
            FLoading = false;
        }
        ShowParseFailure(failure);
    } else if (!onSQLPage) {
        SetMemoText(FQueryBuilder->GetSQL());
    }
    return true;
}

// --- connection commands ---

bool TfmMain::ConnectWithDialog() {
    try {
        if (!EditConnection(FConnection.get(), QBResource::SHostUserConnectionFormat,
                            QBResource::SHostIntegratedConnectionFormat, this, FQueryBuilder->WorkArea()->ModalHook))
            return false;
    } catch (const std::exception& e) {
        Message({Text(QBResource::SHostConnectErrorCaption), QString::fromUtf8(e.what()), QMessageBox::Warning,
                 QMessageBox::Ok, QMessageBox::Ok});
        UpdateCaption();
        return false;
    }
    UpdateCaption();
    return true;
}

bool TfmMain::AskPassword(const std::string& userName, std::string& password) {
    const QString prompt = QString::fromStdString(FormatMessage(QBResource::SLoginPromptText, userName));
    if (PasswordHook) {
        QString answer;
        if (!PasswordHook(prompt, answer)) return false;
        password = answer.toStdString();
        return true;
    }
    bool ok = false;
    const QString answer =
        QInputDialog::getText(this, Text(QBResource::SLoginPromptCaption), prompt, QLineEdit::Password, QString(), &ok);
    if (!ok) return false;
    password = answer.toStdString();
    return true;
}
