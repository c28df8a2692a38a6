#include <QApplication>
#include <QIcon>
#include <QTranslator>
#include <clocale>

#include "app/TavrinApp.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quindle"));
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    // Every window, the About box's logo included, shows the program's icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tavrin.png")));
    // The application object sets the C locale from the environment, so the
    // interface follows the user's locale; numbers keep the "." decimal point.
    std::setlocale(LC_NUMERIC, "C");
    // Without the translations the program still runs, with Qt's texts in English.
    QTranslator qtTexts;
    if (LoadQtTranslations(qtTexts))
        QCoreApplication::installTranslator(&qtTexts);

    tavrinApp theApp;
    return theApp.InitInstance();
}
