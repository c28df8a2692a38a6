#include "app/MainWindow.h"

#include "platform/Version.h"

MainWindow::MainWindow(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ворнель   %1   Пластовый газ. Определение компонентно-фракционного состава по СТО Газпром 5.40 2011.")
                       .arg(QStringLiteral("ver. ") + GetVersionString()));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(1000, 600);
}
