// GoogleTest entry for the widget tests: one QApplication for the process,
// created only when tests actually run (not while CTest lists them).
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char *argv[])
{
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
