#include <QApplication>

#include "app/TavrinApp.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SetUpApplication();
    tavrinApp theApp;
    return theApp.InitInstance();
}
