#include <QApplication>
#include <clocale>

#include "app/TavrinApp.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quindle"));
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    // The application object sets the C locale from the environment, so the
    // interface follows the user's locale; numbers keep the "." decimal point.
    std::setlocale(LC_NUMERIC, "C");

    tavrinApp theApp;
    return theApp.InitInstance();
}
