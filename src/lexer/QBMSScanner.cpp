// The Microsoft SQL Server dialect of the scanner: its character classes, quote characters,
// T-SQL word lists and Boolean texts. Everything else is inherited unchanged.
#include "lexer/QBMSScanner.h"

namespace {

constexpr const char* MSComparisons = "=,<>,<,>,<=,>=,!<,!=,!>";

}  // namespace

bool TQBMSSQLScanner::IsDelimiter(char Ch) const {
    // Brackets quote names here, so they cannot split words.
    return Ch != '[' && Ch != ']' && TQBSQLScanner::IsDelimiter(Ch);
}

bool TQBMSSQLScanner::IsStringQuote(char Ch) const {
    return Ch == '\'' || (Ch == '"' && !FAlterQuotes);
}

bool TQBMSSQLScanner::IsIdentQuote(char Ch) const {
    return Ch == '[' || Ch == ']' || (Ch == '"' && FAlterQuotes);
}

char TQBMSSQLScanner::ClosingQuote(char Ch) const {
    if (Ch == '[') return ']';
    if (Ch == ']') return '[';
    return Ch;
}

char TQBMSSQLScanner::IdentQuoteChar() const { return '['; }

bool TQBMSSQLScanner::QuoteAliases() const { return true; }

std::string TQBMSSQLScanner::GetKeywordsText() const {
    return "ADD,EXCEPT,PERCENT,ALL,EXEC,PLAN,ALTER,EXECUTE,PRECISION,AND,EXISTS,PRIMARY,ANY,EXIT,PRINT,AS,FETCH,PROC,ASC,FILE,PROCEDURE,AUTHORIZATION,FILLFACTOR,PUBLIC,BACKUP,FOR,RAISERROR,BEGIN,FOREIGN,READ,BETWEEN,FREETEXT,READTEXT,BREAK,FREETEXTTABLE,RECONFIGURE,BROWSE,FROM,REFERENCES,BULK,FULL,REPLICATION,BY,FUNCTION,RESTORE,CASCADE,GOTO,RESTRICT,CASE,GRANT,RETURN,CHECK,GROUP,REVOKE,CHECKPOINT,HAVING,RIGHT,CLOSE,HOLDLOCK,ROLLBACK,CLUSTERED,IDENTITY,ROWCOUNT,COALESCE,IDENTITY_INSERT,ROWGUIDCOL,COLLATE,IDENTITYCOL,RULE,COLUMN,IF,SAVE,COMMIT,IN,SCHEMA,COMPUTE,INDEX,SELECT,CONSTRAINT,INNER,SESSION_USER,CONTAINS,INSERT,SET,CONTAINSTABLE,INTERSECT,SETUSER,CONTINUE,INTO,SHUTDOWN,CONVERT,IS,SOME,CREATE,JOIN,STATISTICS,CROSS,KEY,SYSTEM_USER,CURRENT,KILL,TABLE,CURRENT_DATE,LEFT,TEXTSIZE,CURRENT_TIME,LIKE,THEN,CURRENT_TIMESTAMP,LINENO,TO,CURRENT_USER,LOAD,TOP,CURSOR,NATIONAL ,TRAN,DATABASE,NOCHECK,TRANSACTION,DBCC,NONCLUSTERED,TRIGGER,DEALLOCATE,NOT,TRUNCATE,DECLARE,NULL,TSEQUAL,DEFAULT,NULLIF,UNION,DELETE,OF,UNIQUE,DENY,OFF,UPDATE,DESC,OFFSETS,UPDATETEXT,DISK,ON,USE,DISTINCT,OPEN,USER,DISTRIBUTED,OPENDATASOURCE,VALUES,DOUBLE,OPENQUERY,VARYING,DROP,OPENROWSET,VIEW,DUMMY,OPENXML,WAITFOR,DUMP,OPTION,WHEN,ELSE,OR,WHERE,END,ORDER,WHILE,ERRLVL,OUTER,WITH,ESCAPE,OVER,WRITETEXT";
}

// The list as published, 15 names twice among its 196 entries: the control tells a changed
// list from this one by comparing comma texts, so the doubles stay.
std::string TQBMSSQLScanner::GetFunctionsText() const {
    return "AVG,BINARY_CHECKSUM,CHECKSUM,CHECKSUM_AGG,COUNT,COUNT_BIG,GROUPING,STDEV,STDEVP,VAR,VARP,MAX,MIN,SUM,@@DATEFIRST,@@DBTS,@@LANGID,@@LANGUAGE,@@LOCK_TIMEOUT,@@MAX_CONNECTIONS,@@MAX_PRECISION,@@NESTLEVEL,@@OPTIONS,@@REMSERVER,@@SERVERNAME,@@SERVICENAME,@@SPID,@@TEXTSIZE,@@VERSION,@@CURSOR_ROWS,CURSOR_STATUS,@@FETCH_STATUS,DATEADD,DATEDIFF,DATENAME,DATEPART,DAY,GETDATE,GETUTCDATE,MONTH,YEAR,ABS,ACOS,ASIN,ATAN,ATN2,CEILING,COS,COT,DEGREES,EXP,FLOOR,LOG,LOG10,PI,POWER,RADIANS,RAND,ROUND,SIGN,SIN,SQUARE,SQRT,TAN,COL_LENGTH,COL_NAME,COLUMNPROPERTY,DATABASEPROPERTY,DATABASEPROPERTYEX,DB_ID,DB_NAME,FILE_ID,FILE_NAME,FILEGROUP_ID,FILEGROUP_NAME,FILEGROUPPROPERTY,FILEPROPERTY,fn_listextendedproperty,FULLTEXTCATALOGPROPERTY,FULLTEXTSERVICEPROPERTY,INDEX_COL,INDEXKEY_PROPERTY,INDEXPROPERTY,OBJECT_ID,OBJECT_NAME,OBJECTPROPERTY,@@PROCID,SQL_VARIANT_PROPERTY,TYPEPROPERTY,CONTAINSTABLE,FREETEXTTABLE,OPENDATASOURCE,OPENQUERY,OPENROWSET,OPENXML,fn_trace_geteventinfo,fn_trace_getfilterinfo,fn_trace_getinfo,fn_trace_gettable,HAS_DBACCESS,IS_MEMBER,IS_SRVROLEMEMBER,SUSER_SID,SUSER_SNAME,USER_ID,USER,ASCII,CHAR,CHARINDEX,DIFFERENCE,LEFT,LEN,LOWER,LTRIM,NCHAR,PATINDEX,REPLACE,QUOTENAME,REPLICATE,REVERSE,RIGHT,RTRIM,SOUNDEX,SPACE,STR,STUFF,SUBSTRING,UNICODE,UPPER,APP_NAME,CASE,CAST,CONVERT,COALESCE,COLLATIONPROPERTY,CURRENT_TIMESTAMP,CURRENT_USER,DATALENGTH,@@ERROR,fn_helpcollations,fn_servershareddrives,fn_virtualfilestats,FORMATMESSAGE,GETANSINULL,HOST_ID,HOST_NAME,IDENT_CURRENT,IDENT_INCR,IDENT_SEED,@@IDENTITY,IDENTITY,ISDATE,ISNULL,ISNUMERIC,NEWID,NULLIF,PARSENAME,PERMISSIONS,@@ROWCOUNT,ROWCOUNT_BIG,SCOPE_IDENTITY,SERVERPROPERTY,SESSIONPROPERTY,SESSION_USER,STATS_DATE,SYSTEM_USER,@@TRANCOUNT,USER_NAME,@@CONNECTIONS,@@CPU_BUSY,fn_virtualfilestats,@@IDLE,@@IO_BUSY,@@PACKET_ERRORS,@@PACK_RECEIVED,@@PACK_SENT,@@TIMETICKS,@@TOTAL_ERRORS,@@TOTAL_READ,@@TOTAL_WRITE,PATINDEX,TEXTPTR,TEXTVALID,GETANSINULL,GETDATE,GETUTCDATE,GROUPING,HAS_DBACCESS,HOST_ID,HOST_NAME,IDENT_CURRENT,IDENT_INCR,IDENT_SEED,INDEXKEY_PROPERTY,INDEXPROPERTY,INDEX_COL";
}

std::string TQBMSSQLScanner::GetArithmeticsText() const { return "+,-,*,/,%,&,|,^,~,!"; }

// The reader's comparisons and the criterion operators are the same list here.
std::string TQBMSSQLScanner::GetComparisonsText() const { return MSComparisons; }

std::string TQBMSSQLScanner::GetCriterionOperatorsText() const { return MSComparisons; }

std::string TQBMSSQLScanner::UnquoteName(const std::string& S) const {
    // Any two identifier quotes are stripped, matching or not; nothing inside is undoubled.
    return HasIdentQuotesAtEnds(S) ? S.substr(1, S.size() - 2) : S;
}

void TQBMSSQLScanner::InitBooleanTexts() {
    SetBooleanText(false, "FALSE");
    SetBooleanText(true, "TRUE");
}

bool TQBMSSQLScanner::NeedsQuotes(const std::string& Name) const {
    // The base rules with the keyword and function test first. One pass over the class table
    // settles the common name: a plain identifier needs quotes only when it is a listed word.
    EnsureReady();
    if (AllOfClass(Name, ccLetter, ccIdentChar) && (CharClass(Name[0]) & ccIdentQuote) == 0)
        return (WordFlags(Name) & (qwfKeyword | qwfFunction)) != 0;
    if (HasIdentQuotesAtEnds(Name)) return false;
    return (WordFlags(Name) & (qwfKeyword | qwfFunction)) != 0 || TQBSQLScanner::NeedsQuotes(Name);
}

void TQBMSSQLScanner::SetAlterQuotes(bool Value) {
    if (Value == FAlterQuotes) return;
    FAlterQuotes = Value;
    CharClassesChanged();
}
