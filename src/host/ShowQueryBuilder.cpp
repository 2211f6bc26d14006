// The library's entry: makes sure there is a QApplication, runs the main window for one
// statement and hands the kept statement back in memory the caller frees with
// ShowQueryBuilderFree. No exception leaves the library.
#include "korvel/ShowQueryBuilder.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTabWidget>
#include <QTranslator>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "control/QBMSWindow.h"
#include "diagram/QBFloatPanel.h"
#include "host/MainForm.h"
#include "host/QBRunOptions.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

namespace {

// The process's QApplication for the length of one call: the existing one, or one made here
// and freed on return. Qt's Chinese texts (standard buttons) are installed meanwhile.
class TApplicationScope {
public:
    TApplicationScope() {
        if (!QCoreApplication::instance()) FOwned = std::make_unique<QApplication>(FArgc, FArgv);
        FApplication = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (FApplication &&
            FTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            FTranslatorInstalled = QCoreApplication::installTranslator(&FTranslator);
    }
    ~TApplicationScope() {
        if (FTranslatorInstalled) QCoreApplication::removeTranslator(&FTranslator);
    }
    TApplicationScope(const TApplicationScope&) = delete;
    TApplicationScope& operator=(const TApplicationScope&) = delete;

    // Null when the process runs a non-widget application: no window can be shown.
    QApplication* Application() const { return FApplication; }

private:
    int FArgc = 1;
    char FName[10] = "korvel-qb";
    char* FArgv[2] = {FName, nullptr};
    std::unique_ptr<QApplication> FOwned;  // after the arguments it points at
    QApplication* FApplication = nullptr;
    QTranslator FTranslator;
    bool FTranslatorInstalled = false;
};

char* CopyText(const std::string& text) {
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

TQBMessageHook HookFor(const TQBRunOptions& options) {
    if (!options.ScreenshotFile.empty() && options.AutoClose == TQBAutoClose::None) return AutoAnswerHook(false);
    if (options.AutoClose == TQBAutoClose::None) return {};
    return AutoAnswerHook(options.AutoClose == TQBAutoClose::Keep);
}

// The start page and the preview the options ask for, once the window is loaded.
void ApplyStartOptions(TfmMain& form, const TQBRunOptions& options) {
    if (options.StartPage != qspBuilder && form.PageControl()->currentIndex() == TfmMain::pgBuilder)
        form.PageControl()->setCurrentIndex(options.StartPage);
    if (options.Execute) form.Execute();
}

// Shows the window, renders it when asked and closes it through the closing rules, all
// without an event loop of its own.
std::string RunAutomatically(TfmMain& form, const TQBRunOptions& options, const std::string& connectionString,
                             const std::string& statement) {
    if (!form.PrepareRun(connectionString, statement)) return form.ResultSQL();
    form.show();
    ApplyStartOptions(form, options);
    QApplication::processEvents();
    if (!options.ScreenshotFile.empty() && !form.grab().save(QString::fromStdString(options.ScreenshotFile), "PNG"))
        throw EQBException("cannot write " + options.ScreenshotFile);
    if (!form.close()) {
        // An automatic answer never keeps the window open; should a box refuse anyway, the
        // caller's statement stands.
        return statement;
    }
    return form.ResultSQL();
}

}  // namespace

TQBRunOptions TQBRunOptions::FromEnvironment() {
    TQBRunOptions options;
    const QByteArray mode = qgetenv("KORVEL_QB_AUTOCLOSE");
    if (mode == "keep")
        options.AutoClose = TQBAutoClose::Keep;
    else if (mode == "discard")
        options.AutoClose = TQBAutoClose::Discard;
    return options;
}

int RunQueryBuilder(const TQBRunOptions& options, void*, const char* connectionString, const char* sql,
                    char** result) {
    if (!result) return -1;
    *result = nullptr;
    const TQBMessageHook hook = HookFor(options);
    try {
        const TApplicationScope scope;
        if (!scope.Application()) return -1;
        const std::string connection = connectionString ? connectionString : "";
        const std::string statement = sql ? sql : "";
        std::string kept;
        try {
            TfmMain form;
            form.MessageHook = hook;
            if (hook) {
                // Nobody is there to answer a dialog or a password prompt: both are cancelled.
                form.QueryBuilder()->WorkArea()->ModalHook = [](QDialog&) { return false; };
                form.PasswordHook = [](const QString&, QString&) { return false; };
            }
            kept = hook ? RunAutomatically(form, options, connection, statement)
                        : form.RunBuilder(connection, statement, [&] { ApplyStartOptions(form, options); });
        } catch (const std::exception& e) {
            ShowMessageBox(nullptr,
                           {QString::fromUtf8(QBResource::SHostErrorCaption), QString::fromUtf8(e.what()),
                            QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok},
                           hook);
            return -1;
        }
        *result = CopyText(kept);
        return *result ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

extern "C" int ShowQueryBuilder(void* appWindow, const char* connectionString, const char* sql, char** result) {
    return RunQueryBuilder(TQBRunOptions::FromEnvironment(), appWindow, connectionString, sql, result);
}

extern "C" void ShowQueryBuilderFree(char* text) { std::free(text); }
