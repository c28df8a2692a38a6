#include <QCoreApplication>
#include <gtest/gtest.h>

#include "platform/SaveFile.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // As the program's start does.
    LetWritesPastTheSizeLimitFail();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
