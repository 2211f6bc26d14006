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


// --- Query builder control ---
inline constexpr const char* SCriterionsPage = "标准";
inline constexpr const char* SSelectionPage = "选择";
inline constexpr const char* SGroupCriterionsPage = "分组标准";
inline constexpr const char* SSortingPage = "排序";

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
inline constexpr const char* SConfirmCaption = "确认";
inline constexpr const char* SConfirmDeleteCondition = "您确认要删除当前条件(s)吗?";
inline constexpr const char* SCannotExpandSimple = "无法展开/折叠简单的条件";
inline constexpr const char* SCannotCollapseFirst = "无法折叠第一个条件";
inline constexpr const char* SInvalidOperandText = "'%s' 不是一个有效的操作数, 原值保留.";

}  // namespace QBResource
