#include "tests/pieui/TestApplication.h"

#include <gtest/gtest.h>

QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "pieui-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

namespace {

class TApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { TestApplication(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

}  // namespace
