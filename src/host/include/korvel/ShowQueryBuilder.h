/* Korvel Query Builder: the entry of the shared library libkorvelqb.so.
 *
 * ShowQueryBuilder connects to the database named by the connection string, opens the query
 * builder's main window (modal) with the statement loaded, and hands back the statement the
 * user decided to keep.
 *
 *   appWindow         reserved for the host's window; pass NULL (the builder's window is
 *                     modal for the whole application either way).
 *   connectionString  "Provider=SQLOLEDB.1;Data Source=HOST;Initial Catalog=DB;User ID=U;
 *                     Password=P", "Provider=SQLite;Data Source=FILE", or an ODBC string
 *                     beginning with "Driver=" or "DSN=". NULL counts as empty.
 *   sql               the statement to edit, UTF-8; NULL counts as empty.
 *   result            receives a newly allocated, NUL-terminated UTF-8 copy of the kept
 *                     statement (the caller's own statement when the user discarded the changes
 *                     or the connection failed). Release it with ShowQueryBuilderFree. The
 *                     function only stores the new pointer; it never writes through the old one.
 *
 * Returns 0 on success; -1 when result is NULL or an error escaped (the error is shown in a
 * message box, and *result is set to NULL). A QApplication is created for the call only when
 * the process has none.
 *
 * Environment: KORVEL_QB_AUTOCLOSE=keep|discard makes the call never wait for a person: every
 * message box is answered at once and written to standard error as "caption: text", and the
 * window closes as soon as it is shown; "keep" answers Yes to the question whether to keep a
 * changed statement, "discard" answers No. Meant for tests and unattended hosts.
 */
#ifndef KORVEL_SHOWQUERYBUILDER_H
#define KORVEL_SHOWQUERYBUILDER_H

#ifdef __cplusplus
extern "C" {
#endif

int ShowQueryBuilder(void* appWindow, const char* connectionString, const char* sql, char** result);

/* Releases a statement returned by ShowQueryBuilder; NULL is allowed. */
void ShowQueryBuilderFree(char* text);

#ifdef __cplusplus
}
#endif

#endif
