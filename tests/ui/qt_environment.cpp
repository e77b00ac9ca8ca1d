// One QApplication for the whole test program, made before the first test runs.
#include <QApplication>
#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
