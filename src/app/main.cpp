#include <QApplication>
#include <clocale>

#include "app/MainWindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quindle"));
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    // Qt resets the C locale when the application object is built; numbers
    // must keep the "." decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    MainWindow window;
    window.show();
    return app.exec();
}
