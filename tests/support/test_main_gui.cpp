#include <QApplication>
#include <clocale>
#include <gtest/gtest.h>

#include "platform/SaveFile.h"

int main(int argc, char** argv)
{
    // Widget tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef TAVRIN_TEST_SCREEN
    // A primary screen of a laptop's size rather than the plugin's 800 x 600.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TAVRIN_TEST_SCREEN);
#endif
    QApplication app(argc, argv);
#ifndef TAVRIN_TESTS_CALL_SET_UP
    // As the program's start does; the window's tests call its set-up itself.
    LetWritesPastTheSizeLimitFail();
#endif
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
