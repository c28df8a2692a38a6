#pragma once

#include <QDialog>

// The main window of the program; it runs for as long as the program does.
class MainWindow : public QDialog
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};
