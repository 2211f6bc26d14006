/* A host program written in C: loads libkorvelqb.so with dlopen and drives ShowQueryBuilder with
 * KORVEL_QB_AUTOCLOSE, as an unattended host would. Checks the returned statements, the boxes
 * written to standard error, the NULL-argument rules, and that the call works twice in one
 * process. Exits 0 when every check holds; prints each failed check. */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef int (*ShowFn)(void*, const char*, const char*, char**);
typedef void (*FreeFn)(char*);

static int failures = 0;

#define CHECK(cond)                                                         \
    do {                                                                    \
        if (!(cond)) {                                                      \
            fprintf(stdout, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                     \
        }                                                                   \
    } while (0)

/* Runs one call with standard error captured into errText (up to size bytes). */
static int Call(ShowFn show, const char* connection, const char* sql, char** result, char* errText, size_t size) {
    char path[] = "/tmp/korvel-chost-XXXXXX";
    const int fd = mkstemp(path);
    fflush(stderr);
    const int saved = dup(2);
    dup2(fd, 2);
    const int status = show(NULL, connection, sql, result);
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    const off_t length = lseek(fd, 0, SEEK_CUR);
    lseek(fd, 0, SEEK_SET);
    const ssize_t got = read(fd, errText, length < (off_t)size - 1 ? (size_t)length : size - 1);
    errText[got > 0 ? got : 0] = '\0';
    close(fd);
    unlink(path);
    return status;
}

int main(void) {
    void* library = dlopen(KORVELQB_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        printf("dlopen failed: %s\n", dlerror());
        return 1;
    }
    ShowFn show = (ShowFn)dlsym(library, "ShowQueryBuilder");
    FreeFn release = (FreeFn)dlsym(library, "ShowQueryBuilderFree");
    if (!show || !release) {
        printf("exports missing\n");
        return 1;
    }
    const char* sample = "Provider=SQLite;Data Source=" KORVEL_SAMPLE_DB;
    char err[8192];
    char* result = NULL;

    /* Unchanged statement, discard: the caller's own text comes back, not the regenerated one. */
    setenv("KORVEL_QB_AUTOCLOSE", "discard", 1);
    const char* given = "select CompanyName from Customers";
    CHECK(Call(show, sample, given, &result, err, sizeof err) == 0);
    CHECK(result != NULL && strcmp(result, given) == 0);
    CHECK(strstr(err, "提示: 您确认要退出吗？") != NULL);
    release(result);

    /* A second call in the same process, with NULL strings counting as empty. */
    setenv("KORVEL_QB_AUTOCLOSE", "keep", 1);
    result = NULL;
    CHECK(Call(show, sample, NULL, &result, err, sizeof err) == 0);
    CHECK(result != NULL && result[0] == '\0');
    release(result);

    /* The caller's old pointer is not written through: a read-only buffer survives. */
    static const char untouched[] = "caller's buffer";
    result = (char*)untouched;
    CHECK(Call(show, sample, "SELECT City FROM Customers", &result, err, sizeof err) == 0);
    CHECK(result != untouched && strcmp(result, "SELECT City FROM Customers") == 0);
    release(result);

    /* A bad connection: the connection box on stderr, the caller's statement back, no password. */
    result = NULL;
    CHECK(Call(show, "Provider=SQLite;Data Source=/nonexistent/korvel.db;Password=Secr3tPw", "SELECT 1 AS x", &result,
               err, sizeof err) == 0);
    CHECK(result != NULL && strcmp(result, "SELECT 1 AS x") == 0);
    CHECK(strstr(err, "提示: 连接指定的数据源出错，请检查网络连接或联系管理员") != NULL);
    CHECK(strstr(err, "错误: ") != NULL);
    CHECK(strstr(err, "Secr3tPw") == NULL);
    release(result);

    /* A NULL result is an error, not a crash; releasing NULL is allowed. */
    CHECK(show(NULL, sample, "SELECT 1", NULL) == -1);
    release(NULL);

    /* The library stays loaded: Qt cannot be unloaded from a process once it ran. */
    if (failures) printf("%d check(s) failed\n", failures);
    else printf("all checks passed\n");
    return failures ? 1 : 0;
}
