#include <QGuiApplication>
#include <clocale>
#include <gtest/gtest.h>

#include "platform/SaveFile.h"

// Painting needs fonts, and fonts need a GUI application, but no widgets
// and no display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // As the program's start does.
    LetWritesPastTheSizeLimitFail();
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
