// The main window: construction of its tool bar, menus, tree, pages and status bar; the
// connection and the caption; the message seam; the modal run.
#include "host/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "control/QBMSWindow.h"
#include "data/ConnectionString.h"
#include "data/DataConnection.h"
#include "data/DataParameters.h"
#include "data/DataQuery.h"
#include "data/DataStoredProc.h"
#include "data/ObjectName.h"
#include "diagram/QBFloatPanel.h"
#include "host/ResultView.h"
#include "model/QBCriteria.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

namespace {

constexpr int FormWidth = 696;
constexpr int FormHeight = 480;
constexpr int TablesPanelWidth = 185;

QString Text(const char* resource) { return QString::fromUtf8(resource); }

}  // namespace

TfmMain::TfmMain(QWidget* parent)
    : QMainWindow(parent),
      FConnection(std::make_unique<TDataConnection>()),
      FQuery(std::make_unique<TDataQuery>(FConnection.get())),
      FColumnsQuery(std::make_unique<TDataQuery>(FConnection.get())),
      FHelpQuery(std::make_unique<TDataQuery>(FConnection.get())),
      FProc(std::make_unique<TDataStoredProc>(FConnection.get())) {
    setObjectName("fmMain");
    setFont(QFont(QStringLiteral("宋体"), 9));
    resize(FormWidth, FormHeight);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateClientArea();
    WireControl();
    statusBar()->setObjectName("StatusBar");
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FConnection->OnAfterConnect = [this](TDataConnection&) { AfterConnect(); };
    FConnection->OnAfterDisconnect = [this](TDataConnection&) { AfterDisconnect(); };
    FConnection->OnLogin = [this](const std::string& userName, std::string& password) {
        return AskPassword(userName, password);
    };

    Pages->setTabVisible(pgResult, false);
    UpdateCaption();
    ApplyTablesPanel();
    FLoading = false;
}

TfmMain::~TfmMain() {
    FLoading = true;  // no page rule while the children go
    // The control answers nothing more from the connection: unhook before the data goes.
    FQueryBuilder->OnGetTableFields = nullptr;
    FConnection->OnAfterConnect = nullptr;
    FConnection->OnAfterDisconnect = nullptr;
    FConnection->OnLogin = nullptr;
    FResultView->SetDataSet(nullptr);
    delete FQueryBuilder;
    FQueryBuilder = nullptr;
}

// --- construction ---

void TfmMain::CreateActions() {
    const auto make = [this](const char* name, const char* text, const QKeySequence& shortcut = {}) {
        auto* action = new QAction(text ? Text(text) : QString(), this);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        return action;
    };
    QStyle* style = this->style();
    tbTables = make("tbTables", nullptr);
    tbTables->setCheckable(true);
    tbTables->setChecked(true);
    tbTables->setIcon(style->standardIcon(QStyle::SP_DirIcon));
    connect(tbTables, &QAction::triggered, this, [this] { ApplyTablesPanel(); });

    // Connection commands: the window is always driven through ShowQueryBuilder, so they stay
    // hidden; they work when invoked.
    tbConnect = make("tbConnect", nullptr);
    tbConnect->setToolTip(Text(QBResource::SHostHintConnect));
    tbDisconnect = make("tbDisconnect", nullptr);
    tbDisconnect->setToolTip(Text(QBResource::SHostHintDisconnect));
    miConnect = make("miConnect", QBResource::SHostMenuConnect);
    miDisconnect = make("miDisconnect", QBResource::SHostMenuDisconnect);
    for (QAction* action : {tbConnect, tbDisconnect, miConnect, miDisconnect}) action->setVisible(false);
    for (QAction* action : {tbConnect, miConnect})
        connect(action, &QAction::triggered, this, [this] { FQueryBuilder->WorkArea()->Guard([this] { ConnectWithDialog(); }); });
    for (QAction* action : {tbDisconnect, miDisconnect})
        connect(action, &QAction::triggered, this, [this] { FQueryBuilder->WorkArea()->Guard([this] { Disconnect(); }); });

    // SQL files and the preview.
    tbLoad = make("tbLoad", nullptr);
    tbLoad->setToolTip(Text(QBResource::SHostHintLoad));
    tbLoad->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    tbSave = make("tbSave", nullptr);
    tbSave->setToolTip(Text(QBResource::SHostHintSave));
    tbSave->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    tbExecute = make("tbExecute", nullptr);
    tbExecute->setToolTip(Text(QBResource::SHostHintExecute));
    tbExecute->setIcon(style->standardIcon(QStyle::SP_MediaPlay));
    miLoadSQL = make("miLoadSQL", QBResource::SHostMenuLoadSQL, Qt::Key_F3);
    miSaveSQL = make("miSaveSQL", QBResource::SHostMenuSaveSQL, Qt::Key_F2);
    miExecute = make("miExecute", QBResource::SHostMenuExecute, Qt::Key_F9);
    for (QAction* action : {tbLoad, miLoadSQL})
        connect(action, &QAction::triggered, this, [this] { FQueryBuilder->WorkArea()->Guard([this] { LoadSQLFile(); }); });
    for (QAction* action : {tbSave, miSaveSQL})
        connect(action, &QAction::triggered, this, [this] { FQueryBuilder->WorkArea()->Guard([this] { SaveSQLFile(); }); });
    for (QAction* action : {tbExecute, miExecute})
        connect(action, &QAction::triggered, this, [this] { FQueryBuilder->WorkArea()->Guard([this] { Execute(); }); });

    // Diagram files and the about box: hidden commands (the diagram commands are wired with the control).
    miLoadDiagram = make("miLoadDiagram", QBResource::SHostMenuLoadDiagram, Qt::CTRL | Qt::Key_F3);
    miSaveDiagram = make("miSaveDiagram", QBResource::SHostMenuSaveDiagram, Qt::CTRL | Qt::Key_F2);
    miAbout = make("miAbout", QBResource::SHostMenuAbout, Qt::Key_F1);
    for (QAction* action : {miLoadDiagram, miSaveDiagram, miAbout}) {
        action->setVisible(false);
        action->setEnabled(false);
    }

    tbClear = make("tbClear", nullptr);
    tbClear->setToolTip(Text(QBResource::SHostHintClear));
    tbClear->setIcon(style->standardIcon(QStyle::SP_DialogResetButton));
    miClear = make("miClear", QBResource::SHostMenuClear);
    for (QAction* action : {tbClear, miClear})
        connect(action, &QAction::triggered, this, [this] { FQueryBuilder->WorkArea()->Guard([this] { Clear(); }); });

    btnQuit = make("btnQuit", nullptr);
    btnQuit->setToolTip(Text(QBResource::SHostHintQuit));
    btnQuit->setIcon(style->standardIcon(QStyle::SP_DialogCloseButton));
    miExit = make("miExit", QBResource::SHostMenuExit, Qt::ALT | Qt::Key_X);
    for (QAction* action : {btnQuit, miExit}) connect(action, &QAction::triggered, this, &QWidget::close);

    miOptions = make("miOptions", QBResource::SHostMenuOptions);
    miShowSystemTables = make("miShowSystemTables", QBResource::SHostMenuSystemTables);
    miShowSystemTables->setCheckable(true);
    connect(miShowSystemTables, &QAction::triggered, this, [this] {
        FQueryBuilder->WorkArea()->Guard([this] { FillTree(); });
    });
}

void TfmMain::CreateMenus() {
    QMenu* file = menuBar()->addMenu(Text(QBResource::SHostMenuFile));
    file->addAction(miConnect);
    file->addAction(miDisconnect);
    file->addSeparator();
    file->addAction(miLoadSQL);
    file->addAction(miSaveSQL);
    file->addSeparator()->setVisible(false);
    file->addAction(miLoadDiagram);
    file->addAction(miSaveDiagram);
    file->addSeparator();
    file->addAction(miExit);
    QMenu* query = menuBar()->addMenu(Text(QBResource::SHostMenuQuery));
    query->addAction(miExecute);
    query->addSeparator();
    query->addAction(miClear);
    QMenu* view = menuBar()->addMenu(Text(QBResource::SHostMenuView));
    view->addAction(miOptions);
    view->addSeparator();
    view->addAction(miShowSystemTables);
    QMenu* help = menuBar()->addMenu(Text(QBResource::SHostMenuHelp));
    help->addAction(miAbout);
    help->menuAction()->setVisible(false);  // its one item is hidden
}

void TfmMain::CreateToolBar() {
    QToolBar* bar = addToolBar(QString());
    bar->setObjectName("ToolBar");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->addAction(tbTables);
    bar->addSeparator();
    bar->addAction(tbConnect);
    bar->addAction(tbDisconnect);
    bar->addSeparator()->setVisible(false);
    bar->addAction(tbLoad);
    bar->addAction(tbSave);
    bar->addSeparator();
    bar->addAction(tbExecute);
    bar->addSeparator();
    bar->addAction(tbClear);
    bar->addSeparator();
    bar->addAction(btnQuit);
}

void TfmMain::CreateClientArea() {
    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->setChildrenCollapsible(false);
    setCentralWidget(FSplitter);

    paTables = new QWidget(FSplitter);
    paTables->setObjectName("paTables");
    auto* panelLayout = new QVBoxLayout(paTables);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    tvTables = new TQBTablesTree(paTables);
    tvTables->setObjectName("tvTables");
    tvTables->setHeaderHidden(true);
    tvTables->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvTables->setDragEnabled(true);
    tvTables->setDragDropMode(QAbstractItemView::DragOnly);
    panelLayout->addWidget(tvTables);
    connect(tvTables, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        FQueryBuilder->WorkArea()->Guard([this, node] {
            if (AddTreeObject(node, 0, 0)) SetMemoText(FQueryBuilder->GetSQL());
        });
    });

    Pages = new QTabWidget(FSplitter);
    Pages->setObjectName("Pages");
    auto* builderPage = new QWidget;
    builderPage->setObjectName("tsBuilder");
    auto* builderLayout = new QVBoxLayout(builderPage);
    builderLayout->setContentsMargins(0, 0, 0, 0);
    FQueryBuilder = CreateQueryBuilder<TMSSQLQueryBuilder>(builderPage);
    FQueryBuilder->setObjectName("QueryBuilder");
    builderLayout->addWidget(FQueryBuilder);
    Pages->addTab(builderPage, Text(QBResource::SHostBuilderPage));

    auto* sqlPage = new QWidget;
    sqlPage->setObjectName("tsSQL");
    auto* sqlLayout = new QVBoxLayout(sqlPage);
    sqlLayout->setContentsMargins(0, 0, 0, 0);
    mmSQL = new QPlainTextEdit(sqlPage);
    mmSQL->setObjectName("mmSQL");
    mmSQL->setFont(QFont(QStringLiteral("Courier New"), 10));
    mmSQL->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmSQL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmSQL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    sqlLayout->addWidget(mmSQL);
    Pages->addTab(sqlPage, Text(QBResource::SHostSQLPage));

    // The preview page (navigator over a data grid) is filled by the preview command.
    auto* resultPage = new QWidget;
    resultPage->setObjectName("tsResult");
    auto* resultLayout = new QVBoxLayout(resultPage);
    resultLayout->setContentsMargins(0, 0, 0, 0);
    FResultView = new TQBResultView(resultPage);
    FResultView->OnError = [this](const QString& text) {
        Message({QApplication::applicationName(), text, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
    };
    resultLayout->addWidget(FResultView);
    Pages->addTab(resultPage, Text(QBResource::SHostResultPage));
    connect(Pages, &QTabWidget::currentChanged, this,
            [this](int index) { FQueryBuilder->WorkArea()->Guard([this, index] { PageChanged(index); }); });

    FSplitter->setStretchFactor(0, 0);
    FSplitter->setStretchFactor(1, 1);
    FSplitter->setSizes({TablesPanelWidth, FormWidth - TablesPanelWidth});

    // The control's design-time settings.
    FQueryBuilder->Palette().SetActiveCaptionText(clBlack);
    FQueryBuilder->Palette().SetInactiveCaptionText(clBlack);
    FQueryBuilder->Palette().SetWorkSpace(clBtnFace);
    FQueryBuilder->SetCaseSensitiveIdentifiers(false);
    FQueryBuilder->OnGetTableFields = [this](const std::string& name, TDataSet*& dataSet, TDataParameters*& params) {
        GetTableFields(name, dataSet, params);
    };
    FQueryBuilder->SetOnParserError([this](TQBSelectParser* sender, const std::string& message,
                                           const std::string& token, int lineNo, int linePos) {
        ParserError(sender, message, token, lineNo, linePos);
    });
    // Every box of the control and of its diagram goes through the window's one seam.
    FQueryBuilder->ErrorHook = [this](const QString& text) {
        Message({QString(), text, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
    };
    FQueryBuilder->WorkArea()->ConfirmHook = [this](const QString& caption, const QString& text) {
        return Message({caption, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                        QMessageBox::Yes}) != QMessageBox::No;
    };
}

void TfmMain::ApplyTablesPanel() {
    const bool shown = tbTables->isChecked();
    paTables->setVisible(shown);
    tbTables->setToolTip(Text(shown ? QBResource::SHostHideTables : QBResource::SHostShowTables));
}

// --- messages ---

QMessageBox::StandardButton TfmMain::Message(const TQBMessageBox& box) { return ShowMessageBox(this, box, MessageHook); }

// --- connection ---

bool TfmMain::Connected() const { return FConnection->Connected(); }

int TfmMain::ConnectTo(const std::string& connectionString) {
    try {
        FConnection->Close();
        FConnection->SetConnectionString(connectionString);
        FConnection->SetLoginPrompt(false);
        FConnection->Open();
        UpdateCaption();
        return 0;
    } catch (const std::exception& e) {
        Message({Text(QBResource::SHostConnectErrorCaption), QString::fromUtf8(e.what()), QMessageBox::Warning,
                 QMessageBox::Ok, QMessageBox::Ok});
        return -1;
    }
}

void TfmMain::Disconnect() { FConnection->Close(); }

void TfmMain::AfterConnect() {
    ClosePreview();
    FillTree();
    UpdateCaption();
    Clear();
}

void TfmMain::AfterDisconnect() {
    {
        const QSignalBlocker blocker(tvTables);
        tvTables->setUpdatesEnabled(false);
        tvTables->clear();
        tvTables->setUpdatesEnabled(true);
    }
    FConnection->SetConnectionString(std::string());
    Clear();
    UpdateCaption();
}

void TfmMain::UpdateCaption() {
    std::string source;
    if (Connected())
        source = GetConnectionValue(*FConnection, ConnectionDataSource) + "." +
                 GetConnectionValue(*FConnection, ConnectionInitialCatalog) + "." +
                 GetConnectionValue(*FConnection, ConnectionUserID);
    setWindowTitle(QString::fromUtf8(FormatMessage(QBResource::SHostCaption, source).c_str()));
}

void TfmMain::Clear() {
    FQueryBuilder->SetSQL(std::string());
    SetMemoText(std::string());
    FEntryFailed = false;
    ClosePreview();
}

std::string TfmMain::QuoteName(const std::string& name) const {
    return QuoteNamePart(name, NameQuoteFor(*FConnection, FQueryBuilder->AlterQuotes()));
}

// --- the run ---

bool TfmMain::PrepareRun(const std::string& connectionString, const std::string& statement) {
    FResultSQL = statement;
    if (ConnectTo(connectionString) != 0) {
        Message({Text(QBResource::SHostPromptCaption), Text(QBResource::SHostConnectFailed), QMessageBox::Warning,
                 QMessageBox::Ok, QMessageBox::Ok});
        return false;
    }
    FLoading = true;  // the page rules wait until the statement is in
    const std::string failure = LoadStatement(FResultSQL);
    if (!failure.empty()) {
        // What did load is not the caller's statement: the control starts empty, and the SQL
        // page shows the caller's text with the error until the user edits it.
        FQueryBuilder->Clear();
        FEntryFailed = true;
        Pages->setCurrentIndex(pgSQL);
        FPage = pgSQL;
        SetMemoText(FResultSQL);
        ShowParseFailure(failure);
    }
    FInitialSQL = FQueryBuilder->GetSQL();
    FLoading = false;
    return true;
}

std::string TfmMain::RunBuilder(const std::string& connectionString, const std::string& statement,
                                const std::function<void()>& afterShow) {
    if (!PrepareRun(connectionString, statement)) return FResultSQL;
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    QEventLoop loop;
    connect(this, &TfmMain::Closed, &loop, &QEventLoop::quit);
    show();
    if (afterShow) FQueryBuilder->WorkArea()->Guard(afterShow);
    loop.exec();
    return FResultSQL;
}
