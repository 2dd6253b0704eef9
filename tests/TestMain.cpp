#include <QApplication>
#include <gtest/gtest.h>

// Tests of the Linux layer and of whole processes need a Qt event loop to exist; view tests
// need a GUI application, which renders offscreen unless told otherwise.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
