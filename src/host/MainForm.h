// TfmMain, the main window of the desktop program: a tool bar and menus, the database tree on
// the left (filled from "exec sp_help"), and a page control with the query-builder control
// ("生成器"), the SQL text ("SQL") and the hidden result preview ("预览结果"), over a status
// bar. It owns the connection and its three commands, answers the control's requests for table
// columns and its parse errors, and decides on closing which statement the caller gets back.
// Every message box goes through MessageHook when it is set (tests, automatic close).
#pragma once

#include <QMainWindow>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <string>

#include "host/MainFormMessages.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class TDataConnection;
class TDataParameters;
class TDataQuery;
class TDataSet;
class TDataStoredProc;
class EQBParserError;
class TMSSQLQueryBuilder;
class TQBResultView;
class TQBSelectParser;

// The database tree: its object nodes drag the object's name as plain text.
class TQBTablesTree final : public QTreeWidget {
    Q_OBJECT

public:
    using QTreeWidget::QTreeWidget;
    // The format that marks a drag as one of the tree's objects (with the name as plain text).
    static constexpr const char* ObjectMimeType = "application/x-korvel-tree-object";

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
};

class TfmMain final : public QMainWindow {
    Q_OBJECT

public:
    // The pages of Pages, by index.
    enum TPage { pgBuilder = 0, pgSQL = 1, pgResult = 2 };
    // Tree node data: the record of a node (object name and owner; a group's name and "").
    static constexpr int NameRole = Qt::UserRole;
    static constexpr int OwnerRole = Qt::UserRole + 1;
    // The tree's images.
    enum TTreeImage { tiTable = 0, tiView = 1, tiFunction = 2 };

    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    // Steps of a run before the window is shown: connects, loads Statement into the control
    // and remembers the generated text. False, after the connection-failure box, when the
    // window must not be shown (the caller's statement is the result).
    bool PrepareRun(const std::string& connectionString, const std::string& statement);
    // PrepareRun, then the window shown modally until it is closed; returns the statement kept.
    // AfterShow, when given, runs once the window is shown (start page, preview).
    std::string RunBuilder(const std::string& connectionString, const std::string& statement,
                           const std::function<void()>& afterShow = {});
    // The statement the caller gets back.
    const std::string& ResultSQL() const { return FResultSQL; }
    const std::string& InitialSQL() const { return FInitialSQL; }

    // Connects with ConnectionString; 0, or -1 after the "错误" box.
    int ConnectTo(const std::string& connectionString);
    void Disconnect();
    bool Connected() const;
    // Fills the tree from "exec sp_help"; nothing when not connected.
    void FillTree();
    // Adds the object of a tree node to the diagram; a drop point of (0, 0) places it
    // automatically. True when a box was made.
    bool AddTreeObject(QTreeWidgetItem* node, int x, int y);
    // Empties the statement, the memo and the preview.
    void Clear();

    // Runs the statement of the active page into the result page and shows it (the page-leave
    // rule first). Refused with a message unless the text is one complete SELECT statement.
    // True when the result page shows the new result.
    bool Execute();
    // The SQL file commands; false when the user cancelled or the file failed (with a message).
    bool LoadSQLFile();
    bool SaveSQLFile();
    // The hidden connect command: the connection dialog, then the caption. True when connected anew.
    bool ConnectWithDialog();
    // The hidden diagram commands (builder page only); false when cancelled or failed.
    bool LoadDiagramFile();
    bool SaveDiagramFile();

    // Asked for a file name instead of a file dialog when set (tests): save or open, title,
    // filter, default suffix; an empty answer cancels.
    std::function<QString(bool save, const QString& title, const QString& filter, const QString& suffix)>
        FileDialogHook;
    // Asked for the password of the login prompt instead of a password box when set; false cancels.
    std::function<bool(const QString& prompt, QString& password)> PasswordHook;
    // The caption for the current connection.
    void UpdateCaption();

    // A name in the quotes of the connection (double quotes with AlterQuotes or on SQLite,
    // brackets otherwise), its closing quote doubled.
    std::string QuoteName(const std::string& name) const;

    // Shows Box through MessageHook, or as a message box over the window.
    QMessageBox::StandardButton Message(const TQBMessageBox& box);
    TQBMessageHook MessageHook;

    // --- parts, for the hosts, the tests and the later commands ---
    TMSSQLQueryBuilder* QueryBuilder() const { return FQueryBuilder; }
    QTreeWidget* TablesTree() const { return tvTables; }
    QPlainTextEdit* SQLMemo() const { return mmSQL; }
    QTabWidget* PageControl() const { return Pages; }
    TQBResultView* ResultView() const { return FResultView; }
    TDataQuery& PreviewQuery() const { return *FQuery; }
    QWidget* TablesPanel() const { return paTables; }
    TDataConnection& Connection() const { return *FConnection; }

    // Tool bar and menu commands.
    QAction* tbTables = nullptr;
    QAction* tbConnect = nullptr;
    QAction* tbDisconnect = nullptr;
    QAction* tbLoad = nullptr;
    QAction* tbSave = nullptr;
    QAction* tbExecute = nullptr;
    QAction* tbClear = nullptr;
    QAction* btnQuit = nullptr;
    QAction* miConnect = nullptr;
    QAction* miDisconnect = nullptr;
    QAction* miLoadSQL = nullptr;
    QAction* miSaveSQL = nullptr;
    QAction* miLoadDiagram = nullptr;
    QAction* miSaveDiagram = nullptr;
    QAction* miExit = nullptr;
    QAction* miExecute = nullptr;
    QAction* miClear = nullptr;
    QAction* miOptions = nullptr;
    QAction* miShowSystemTables = nullptr;
    QAction* miAbout = nullptr;

signals:
    // The window has closed (the closing rules agreed).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateClientArea();
    void ApplyTablesPanel();
    void AfterConnect();
    void AfterDisconnect();
    // Drops from the tree, the options and parameter dialogs, the diagram commands.
    void WireControl();
    // The tree's selected object when the drag comes from the tree; null otherwise or for a group.
    QTreeWidgetItem* TreeDragSelection(QObject* source, const QMimeData* data) const;
    // Lets the grid go, closes the preview query and hides the result page.
    void ClosePreview();
    QString AskFileName(bool save, const QString& title, const QString& filter, const QString& suffix);
    bool AskPassword(const std::string& userName, std::string& password);

    // --- the control's requests ---
    void GetTableFields(const std::string& nameOfTable, TDataSet*& dataSet, TDataParameters*& params);
    void ParserError(TQBSelectParser* sender, const std::string& message, const std::string& token, int lineNo,
                     int linePos);
    // Fills Params with the input parameters of the procedure QuotedName.
    void DiscoverParameters(const std::string& quotedName, TDataParameters& params);

    // --- pages ---
    void PageChanged(int index);
    // Leaving the SQL page: applies the memo's edits; false (error shown, token selected,
    // memo still modified) when they do not parse.
    bool ApplySQLPage();
    // Whether the SQL page holds text the control does not hold yet.
    bool SQLPagePending() const;
    // Remembers a parse error raised while Text was read: its message and its token's bytes.
    void RecordError(const EQBParserError& error, const std::string& text);
    // Loads Text into the control; the failure's message, or empty when it loaded fully.
    std::string LoadStatement(const std::string& text);
    // Shows a parse failure: the message in the status bar, the token selected in the memo.
    void ShowParseFailure(const std::string& message);
    // Selects the stored error token in the memo, its byte position converted to characters.
    void SelectErrorToken();
    // Sets the memo's text without counting it as the user's edit.
    void SetMemoText(const std::string& text);
    // The closing rules; true when the window may close.
    bool CanClose();

    std::unique_ptr<TDataConnection> FConnection;
    std::unique_ptr<TDataQuery> FQuery;        // the preview query, shown by the result grid
    std::unique_ptr<TDataQuery> FColumnsQuery; // reads the columns of tables, so the preview stays open
    std::unique_ptr<TDataQuery> FHelpQuery;    // "exec sp_help"
    std::unique_ptr<TDataStoredProc> FProc;    // parameter discovery
    std::unique_ptr<TDataParameters> FProcParams;  // the last list handed to the control

    QSplitter* FSplitter = nullptr;  // child widgets
    QWidget* paTables = nullptr;
    TQBTablesTree* tvTables = nullptr;
    QTabWidget* Pages = nullptr;
    TMSSQLQueryBuilder* FQueryBuilder = nullptr;
    QPlainTextEdit* mmSQL = nullptr;
    TQBResultView* FResultView = nullptr;

    std::string FResultSQL;
    std::string FInitialSQL;
    // The caller's statement did not load: the SQL page shows it as given until it is edited.
    bool FEntryFailed = false;
    bool FLoading = true;         // no page rule while the window is being built and loaded
    bool FChangingPage = false;   // guards the page change undone by a refusal
    int FPage = pgBuilder;        // the page the rules last saw active
    // The last parse error: the byte range of its token in the text parsed (-1: none).
    int FErrorStart = -1;
    int FErrorLength = 0;
    std::string FErrorText;       // the text that byte range refers to
    std::string FErrorMessage;
};
