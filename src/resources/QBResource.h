// The message table: every text the system shows or reports, as named constants.
// No text is written twice; code refers to these names. Texts containing "%s" or "%d"
// are formatted with FormatMessage (toolkit/Exceptions.h).
#pragma once

namespace QBResource {

// --- Lexer and parser errors ---
// Parse error texts by code (EQBParserError); the first holds the token, position and line.
inline constexpr const char* SQBParserUnexpectedToken = "无效 '%s' 位置 %d 行 %d";
inline constexpr const char* SQBParserUnexpectedEnd = "未处理的异常.";
inline constexpr const char* SQBParserUnterminatedString = "未结束的字符串.";
inline constexpr const char* SQBParserFieldNotFound = "字段 '%s' 没有发现.";
inline constexpr const char* SQBParserInvalidJoin = "非法的Join表达式.";
inline constexpr const char* SQBParserUnknownError = "未知错误 (#%d)";

// --- Query model ---
inline constexpr const char* SCannotAssign = "Cannot assign";
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SCannotBuildJoin = "不能对指定的查询构建右连接";
inline constexpr const char* SCantBindLeftTable = "DEBUG: Can't bind to left table";
inline constexpr const char* SCantBindRightTable = "DEBUG: Can't bind to right table";
inline constexpr const char* SCantBindPreferredTable = "DEBUG: Can't bind to preferred table";
inline constexpr const char* SGroupAll = "All";          // 65105
inline constexpr const char* SGroupAny = "Any";          // 65106
inline constexpr const char* SGroupNone = "None";        // 65107
inline constexpr const char* SGroupNotAll = "Not all";   // 65108
inline constexpr const char* SGroupNot = "Not";          // 65109

// --- Data access ---
inline constexpr const char* SDataEmptyConnectionString = "连接字符串为空";
inline constexpr const char* SDataUnknownProvider = "不支持的数据提供程序：%s";
inline constexpr const char* SDataNoDatabaseFile = "连接字符串未指定数据库文件（Data Source=）";
inline constexpr const char* SDataFileMissing = "数据库文件不存在：%s";
inline constexpr const char* SDataConnectFailed = "无法连接到数据源（%s）";
inline constexpr const char* SDataLoginCancelled = "登录已取消";
inline constexpr const char* SDataNoDriverManager = "无法初始化 ODBC 驱动程序管理器";
inline constexpr const char* SDataNoConnection = "命令未指定数据库连接";
inline constexpr const char* SDataNotConnected = "数据库未连接";
inline constexpr const char* SDataEmptyCommand = "命令文本为空";
inline constexpr const char* SDataNoResultSet = "命令没有返回结果集";
inline constexpr const char* SDataSetClosed = "数据集未打开";
inline constexpr const char* SDataSetOpen = "数据集已打开，不能修改字段";
inline constexpr const char* SDataFieldIndex = "字段索引超出范围：%d";
inline constexpr const char* SDataRowIndex = "记录索引超出范围：%d";
inline constexpr const char* SDataRowWidth = "记录的值个数与字段数不符：%d";
inline constexpr const char* SDataRowTooLong = "记录太长（%d 字节）";
inline constexpr const char* SDataParamIndex = "参数索引超出范围：%d";
inline constexpr const char* SDataNoParameter = "找不到参数：%s";
inline constexpr const char* SDataNoProcedureName = "未指定存储过程名称";

// --- Diagram storage (INI files and the per-user registry) ---
inline constexpr const char* SFileReadError = "无法读取文件 %s：%s";
inline constexpr const char* SFileWriteError = "无法写入文件 %s：%s";
inline constexpr const char* SFileTooLarge = "文件 %s 太大（超过 %d 字节）";
inline constexpr const char* SIniInvalidText = "不能写入 INI 文件的名称或值：%s";
inline constexpr const char* SDiagramFileMissing = "图表文件 %s 不存在";
inline constexpr const char* SDiagramStatementTooLong = "图表中的 SQL 语句太长（%d 字节）";
inline constexpr const char* SRegistryInvalidPath = "无效的注册表路径：%s";
inline constexpr const char* SRegistryUnsupportedRoot = "不支持的注册表根键：%s";
inline constexpr const char* SRegistryKeyMissing = "注册表项 %s 不存在";
inline constexpr const char* SRegistryReadError = "无法读取注册表项 %s";
inline constexpr const char* SRegistryWriteError = "无法写入注册表项 %s";
// The diagram file dialogs (pairs of caption and patterns, separated by '|').
inline constexpr const char* SDiagramFileFilter = "INI Files (*.ini)|*.ini|All Files (*.*)|*.*";
inline constexpr const char* SDiagramFileExt = "INI";
inline constexpr const char* SLoadDiagramTitle = "Load Diagram";
inline constexpr const char* SSaveDiagramTitle = "Save Diagram";

// --- Diagram ---
inline constexpr const char* SInvalidWorkAreaParent = "无效的父工作区!";
inline constexpr const char* SInvalidTableParent = "无效的父表对象!";
inline constexpr const char* SInvalidIndex = "无效的索引 = %d ";
inline constexpr const char* SInvalidLinkTable = "连接控制无效的表 %s ";
inline constexpr const char* STableAlias = "表别名";
inline constexpr const char* SAlreadyExists = "已经存在";
inline constexpr const char* SCollapseExpandTable = "折叠／展开表";
inline constexpr const char* SClearTableLinks = "清除表所有连接";
inline constexpr const char* SCloseTable = "关闭表";
inline constexpr const char* SUncheckAllFields = "取消选择所有字段";
inline constexpr const char* SCheckAllFields = "选择所有字段";
inline constexpr const char* SDblClickEditAlias = "双击编辑别名";
inline constexpr const char* SDeleteTable = "删除表";
inline constexpr const char* SRenameTable = "重命名表";
inline constexpr const char* SDeletePoint = "删除点";
inline constexpr const char* SInsertPoint = "插入点";
inline constexpr const char* SDeleteLink = "删除连接";
inline constexpr const char* SLinkProperties = "属性";
inline constexpr const char* SHintCaption = "提示!";
inline constexpr const char* SConfirmDeleteLink = "您确认要删除连接吗？ ";
inline constexpr const char* SAnd = "与";
inline constexpr const char* SInvalidLink = "无效的连接";
inline constexpr const char* SLinkedTables = "连接表: ";
inline constexpr const char* SIncludeAll = "包含所有";
inline constexpr const char* SInvalidLinkOperator = "无效的连接运算符 '%s'";
// The link properties dialog's own captions.
inline constexpr const char* SLinkPropCaption = "Link properties";
inline constexpr const char* SLinkPropLeftOuter = "Include all";
inline constexpr const char* SLinkPropRightOuter = "Include All";
inline constexpr const char* SLinkPropOK = "OK";
inline constexpr const char* SLinkPropCancel = "Cancel";
inline constexpr const char* SInvalidParamValue = "'%s' 不是参数 %s 的有效值";


// --- Query builder control ---
inline constexpr const char* SCriterionsPage = "标准";
inline constexpr const char* SSelectionPage = "选择";
inline constexpr const char* SGroupCriterionsPage = "分组标准";
inline constexpr const char* SSortingPage = "排序";

// --- Host application ---
inline constexpr const char* SHostErrorCaption = "出错";
inline constexpr const char* SHostPromptCaption = "提示";
inline constexpr const char* SHostConnectErrorCaption = "错误";
inline constexpr const char* SHostConnectFailed = "连接指定的数据源出错，请检查网络连接或联系管理员";
inline constexpr const char* SHostCaption = "Korvel Application [%s]";
inline constexpr const char* SHostConfirmExit = "您确认要退出吗？";
inline constexpr const char* SHostConfirmSave =
    "数据集查询字符串已经修改，请确认是否保存？\r\n点击是保存修改，否放弃修改，取消返回继续编辑。";
// Closing while the SQL page holds edits that do not parse; %s is the parser's message.
inline constexpr const char* SHostUnappliedEdits =
    "SQL 页的修改无法应用：%s\r\n点击取消返回继续编辑，放弃则关闭窗口并放弃所有修改。";
inline constexpr const char* SHostBuilderPage = "生成器";
inline constexpr const char* SHostSQLPage = "SQL";
inline constexpr const char* SHostResultPage = "预览结果";
inline constexpr const char* SHostTablesGroup = "Tables";
inline constexpr const char* SHostViewsGroup = "Views";
inline constexpr const char* SHostFunctionsGroup = "Functions";
inline constexpr const char* SHostHideTables = "隐藏数据库表";
inline constexpr const char* SHostShowTables = "显示数据库表";
inline constexpr const char* SHostHintConnect = "Connect To Database";
inline constexpr const char* SHostHintDisconnect = "断开连接";
inline constexpr const char* SHostHintLoad = "打开...";
inline constexpr const char* SHostHintSave = "另存为...";
inline constexpr const char* SHostHintExecute = "执行";
inline constexpr const char* SHostHintClear = "清除";
inline constexpr const char* SHostHintQuit = "退出";
inline constexpr const char* SHostMenuFile = "文件(&F)";
inline constexpr const char* SHostMenuConnect = "连接数据库(&C)";
inline constexpr const char* SHostMenuDisconnect = "断开数据库连接(&D)";
inline constexpr const char* SHostMenuLoadSQL = "打开(&O)...";
inline constexpr const char* SHostMenuSaveSQL = "另存为(&S)...";
inline constexpr const char* SHostMenuLoadDiagram = "打开图表文件(&O)...";
inline constexpr const char* SHostMenuSaveDiagram = "另存图表文件为(&S)...";
inline constexpr const char* SHostMenuExit = "退出(&E)";
inline constexpr const char* SHostMenuQuery = "查询(&Q)";
inline constexpr const char* SHostMenuExecute = "执行(&E)";
inline constexpr const char* SHostMenuClear = "清除(&C)";
inline constexpr const char* SHostMenuView = "查看(&V)";
inline constexpr const char* SHostMenuOptions = "选项(&P)";
inline constexpr const char* SHostMenuSystemTables = "显示系统表";
inline constexpr const char* SHostMenuHelp = "帮助(&H)";
inline constexpr const char* SHostMenuAbout = "关于(&A)...";

// --- Desktop program: result preview and connection ---
inline constexpr const char* SPreviewNotOneSelect = "只能预览一条完整的 SELECT 语句，其他语句不会执行。";
inline constexpr const char* SPreviewEmpty = "没有可预览的查询。";
inline constexpr const char* SPreviewParseError = "查询不能预览：%s";
inline constexpr const char* SPreviewRunning = "正在执行查询...";
inline constexpr const char* SPreviewReading = "已读取 %s 行...";
inline constexpr const char* SPreviewCancelled = "查询已取消。";
inline constexpr const char* SHostLoadSQLTitle = "Load SQL File";
inline constexpr const char* SHostSaveSQLTitle = "Save SQL File";
// The file dialogs' filter: SQL files, text files, all files (default extension "sql").
inline constexpr const char* SHostSQLFileFilter = "SQL Files (*.sql);;Text Files (*.txt);;All Files (*)";
inline constexpr const char* SHostFileReadFailed = "无法读取文件 %s：%s";
inline constexpr const char* SHostFileWriteFailed = "无法写入文件 %s：%s";
// The connection strings the connection dialog builds: user name, database, host; database, host.
inline constexpr const char* SHostUserConnectionFormat =
    "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=%s;Initial Catalog=%s;Data Source=%s";
inline constexpr const char* SHostIntegratedConnectionFormat =
    "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=%s;Data Source=%s";
inline constexpr const char* SLoginPromptCaption = "登录";
inline constexpr const char* SLoginPromptText = "用户 %s 的密码：";
// --- Selection and sorting pages ---
inline constexpr const char* SSelectOutputName = "输出字段名称";
inline constexpr const char* SSelectAggregate = "聚合";
inline constexpr const char* SSelectSourceField = "源字段名称";
inline constexpr const char* SSelectDeleteRow = "删除指定的行";
inline constexpr const char* SSelectDistinct = "消除重复记录";
inline constexpr const char* SSelectCantDeleteLastRow = "无法删除最后一行!";
inline constexpr const char* SSelectConfirmDeleteRow = "您确认要删除当前行吗?";
inline constexpr const char* SConfirmCaption = "确认";
inline constexpr const char* SInvalidSelectGridParent = "选定的栅格父属性无效";
inline constexpr const char* SInvalidOrderPanelParent = "OrderPanel的父属性无效";
inline constexpr const char* SOrderInputFields = "输入字段";
inline constexpr const char* SOrderSortField = "排序字段";
inline constexpr const char* SOrderSortType = "排序类型";
inline constexpr const char* SOrderAscending = "升序";
inline constexpr const char* SOrderDescending = "降序";
inline constexpr const char* SOrderAToZ = "A..Z";
inline constexpr const char* SOrderZToA = "Z..A";
inline constexpr const char* SOrderUp = "上";
inline constexpr const char* SOrderDown = "下";
// --- Criterion panels ---
inline constexpr const char* SInvalidCriterionParent = "条件面板父属性无效";
inline constexpr const char* SAddCondition = "添加条件";
inline constexpr const char* SMakeGroupCondition = "创建组合条件";
inline constexpr const char* SDeleteCondition = "删除条件";
inline constexpr const char* SExpandCondition = "展开条件";
inline constexpr const char* SCollapseCondition = "折叠条件";
inline constexpr const char* SInsertField = "插入字段";
inline constexpr const char* SInsertFieldHint = "按 Shift+Enter 插入字段";
inline constexpr const char* SGroupUsedBelow = " 下列被使用";
inline constexpr const char* SNoActiveSpot = "没有可激活的按钮";
inline constexpr const char* SAlreadyGrouped = "选择的条件已经被组合";
inline constexpr const char* SCannotDeleteFirstRow = "不能删除首行";
inline constexpr const char* SConfirmDeleteCondition = "您确认要删除当前条件(s)吗?";
inline constexpr const char* SCannotExpandSimple = "无法展开/折叠简单的条件";
inline constexpr const char* SCannotCollapseFirst = "无法折叠第一个条件";
inline constexpr const char* SInvalidOperandText = "'%s' 不是一个有效的操作数, 原值保留.";

}  // namespace QBResource
