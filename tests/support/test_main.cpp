#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// Every test binary runs headless: Qt's offscreen platform unless the caller
// chose another one. A QApplication exists for the whole run, so widget and
// event-loop tests need no set-up of their own.
int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
