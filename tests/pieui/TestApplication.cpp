#include "tests/pieui/TestApplication.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QApplication>& Instance() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// The application ends with the tests, before the program's other statics
// go: Qt's clean-up at exit must still find what it cleans up.
class TApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { TestApplication(); }
    void TearDown() override { Instance().reset(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

}  // namespace

QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "pieui-tests";
    static char* argv[] = {name, nullptr};
    if (!Instance())
        Instance() = std::make_unique<QApplication>(argc, argv);
    return *Instance();
}
