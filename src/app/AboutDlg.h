#pragma once

#include <QDialog>

class QLabel;

// "О программе": the program's name and version and what it computes.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // "Ворнель", an empty line, then the version line.
    static QString VersionText();

private:
    QLabel* m_labelLogo = nullptr;
    QLabel* m_labelVersion = nullptr;
};
