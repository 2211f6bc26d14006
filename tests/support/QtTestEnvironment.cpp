// The test environment of every GUI test program: one QApplication (offscreen unless a
// platform is chosen), created before the first test and freed after the last one, while
// Qt's own globals still exist.
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        FApp = std::make_unique<QApplication>(FArgc, FArgv);
    }
    void TearDown() override { FApp.reset(); }

private:
    int FArgc = 1;
    char FName[11] = "korvel-gui";
    char* FArgv[2] = {FName, nullptr};
    std::unique_ptr<QApplication> FApp;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
