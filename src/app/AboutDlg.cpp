#include "app/AboutDlg.h"

#include "platform/Version.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("О программе"));

    m_labelLogo = new QLabel(this);
    m_labelLogo->setObjectName(QStringLiteral("labelLogo"));
    m_labelLogo->setFixedSize(80, 80);
    m_labelLogo->setPixmap(QApplication::windowIcon().pixmap(80, 80));

    m_labelVersion = new QLabel(VersionText(), this);
    m_labelVersion->setObjectName(QStringLiteral("labelVersion"));

    auto* purpose = new QLabel(
        QStringLiteral("Пластовый газ. Определение компонентно-фракционного состава по СТО Газпром 5.40 2011."), this);
    purpose->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_labelLogo, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(m_labelVersion, 0, 1);
    layout->addWidget(purpose, 1, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    resize(420, 150);
    FitToScreen(*this);
}

QString CAboutDlg::VersionText()
{
    return QStringLiteral("Ворнель\n\nВерсия: %1").arg(GetVersionString());
}
