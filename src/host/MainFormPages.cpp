// The pages of the main window and its closing: the SQL page takes the control's statement
// when the builder page is left and gives its edits back when it is left itself, refusing to
// be left while they do not parse; closing applies pending edits first, then asks whether to
// keep a changed statement. A parse error is shown in the status bar with its token selected.
#include "host/MainForm.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>

#include "control/QBMSWindow.h"
#include "diagram/QBFloatPanel.h"
#include "lexer/QBScanner.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

namespace {

// The byte offset where line LineNo (1-based; lines end with LF) of Text begins.
std::size_t LineStart(const std::string& text, int lineNo) {
    std::size_t start = 0;
    for (int line = 1; line < lineNo; ++line) {
        const std::size_t feed = text.find('\n', start);
        if (feed == std::string::npos) return text.size();
        start = feed + 1;
    }
    return start;
}

// The number of UTF-16 characters (the memo's positions) in the first Bytes bytes of Text.
int CharacterPosition(const std::string& text, std::size_t bytes) {
    return static_cast<int>(QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min(bytes, text.size()))).size());
}

}  // namespace

// --- parse errors ---

void TfmMain::ParserError(TQBSelectParser* sender, const std::string& message, const std::string& token, int,
                          int) {
    FErrorMessage = message;
    const TQBScanner* scanner = sender ? sender->GetScanner() : nullptr;
    if (!scanner) return;
    FErrorText = scanner->GetText();
    FErrorStart = std::max(0, scanner->GetPosition() - static_cast<int>(token.size()) - 1);
    FErrorLength = static_cast<int>(token.size());
}

void TfmMain::RecordError(const EQBParserError& error, const std::string& text) {
    FErrorMessage = error.what();
    FErrorText = text;
    // An unterminated quote is reported at the byte after the quote, its token being the
    // rest of the text: the selection takes the quote too. Other errors end at LinePos.
    const bool unterminated = error.ErrorCode == qpeUnterminatedString;
    const long long length = static_cast<long long>(error.Token.size()) + (unterminated ? 1 : 0);
    const long long start = static_cast<long long>(LineStart(text, error.LineNo)) + error.LinePos - 1 -
                            (unterminated ? 1 : length);
    FErrorStart = static_cast<int>(std::clamp<long long>(start, 0, static_cast<long long>(text.size())));
    FErrorLength = static_cast<int>(length);
}

std::string TfmMain::LoadStatement(const std::string& text) {
    FErrorStart = -1;
    FErrorMessage.clear();
    try {
        FQueryBuilder->SetSQL(text);
    } catch (const EQBParserError& e) {
        RecordError(e, text);
        return e.what();
    } catch (const std::exception& e) {
        return e.what();
    }
    if (FQueryBuilder->Parser()->Valid) return {};
    return FErrorMessage.empty() ? FormatMessage(QBResource::SQBParserUnknownError, "0") : FErrorMessage;
}

void TfmMain::ShowParseFailure(const std::string& message) {
    statusBar()->showMessage(QString::fromUtf8(message.c_str()));
    SelectErrorToken();
}

void TfmMain::SelectErrorToken() {
    if (FErrorStart < 0) return;
    const int start = CharacterPosition(FErrorText, static_cast<std::size_t>(FErrorStart));
    const int end = CharacterPosition(FErrorText, static_cast<std::size_t>(FErrorStart + FErrorLength));
    const int last = mmSQL->document()->characterCount() - 1;
    QTextCursor cursor = mmSQL->textCursor();
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);
    mmSQL->setTextCursor(cursor);
}

void TfmMain::SetMemoText(const std::string& text) {
    mmSQL->setPlainText(QString::fromUtf8(text.c_str()));
    mmSQL->document()->setModified(false);
}

// --- pages ---

bool TfmMain::SQLPagePending() const { return mmSQL->document()->isModified() || FEntryFailed; }

bool TfmMain::ApplySQLPage() {
    if (!SQLPagePending()) return true;
    const std::string text = mmSQL->toPlainText().toUtf8().toStdString();
    const std::string failure = LoadStatement(text);
    if (!failure.empty()) {
        // The memo keeps its flag: modified by the user, or the caller's untouched text.
        ShowParseFailure(failure);
        return false;
    }
    mmSQL->document()->setModified(false);
    FEntryFailed = false;
    statusBar()->clearMessage();
    return true;
}

void TfmMain::PageChanged(int index) {
    if (FLoading || FChangingPage) return;
    const int left = FPage;
    FPage = index;
    if (left == pgBuilder) {
        SetMemoText(FQueryBuilder->GetSQL());
    } else if (left == pgSQL && !ApplySQLPage()) {
        // Refused: back to the SQL page, the error token selected.
        FChangingPage = true;
        Pages->setCurrentIndex(pgSQL);
        FChangingPage = false;
        FPage = pgSQL;
        SelectErrorToken();
        mmSQL->setFocus();
    }
}

// --- closing ---

bool TfmMain::CanClose() {
    if (SQLPagePending()) {
        const bool userEdited = mmSQL->document()->isModified();
        if (FEntryFailed && !userEdited) return true;  // the caller's own text, untouched
        if (!ApplySQLPage()) {
            const std::string text = FormatMessage(QBResource::SHostUnappliedEdits, FErrorMessage);
            const auto answer = Message({QString::fromUtf8(QBResource::SHostPromptCaption), QString::fromUtf8(text.c_str()),
                                         QMessageBox::Warning, QMessageBox::Cancel | QMessageBox::Discard,
                                         QMessageBox::Cancel});
            if (answer != QMessageBox::Discard) {
                SelectErrorToken();
                mmSQL->setFocus();
                return false;
            }
            return true;  // FResultSQL is still the caller's statement
        }
    }
    const std::string current = FQueryBuilder->GetSQL();
    if (current == FInitialSQL) {
        return Message({QString::fromUtf8(QBResource::SHostPromptCaption), QString::fromUtf8(QBResource::SHostConfirmExit),
                        QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok}) ==
               QMessageBox::Ok;
    }
    const auto answer =
        Message({QString::fromUtf8(QBResource::SHostPromptCaption), QString::fromUtf8(QBResource::SHostConfirmSave),
                 QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes});
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) FResultSQL = current;
    return true;
}

void TfmMain::closeEvent(QCloseEvent* event) {
    bool close = false;
    FQueryBuilder->WorkArea()->Guard([&] { close = CanClose(); });
    if (!close) {
        event->ignore();
        return;
    }
    event->accept();
    Disconnect();
    emit Closed();
}
