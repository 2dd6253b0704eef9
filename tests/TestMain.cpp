#include <QCoreApplication>
#include <gtest/gtest.h>

// Tests of the Linux layer and of whole processes need a Qt event loop to exist.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
