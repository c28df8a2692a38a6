#include "ui/ReadProgressDialog.h"

#include <QWidget>

ReadProgressDialog::ReadProgressDialog(QWidget* parent)
    : m_parent(parent)
{
}

ReadProgressDialog::~ReadProgressDialog() = default;

ReadProgress ReadProgressDialog::progress()
{
    return [this](int done, int total) { return report(done, total); };
}

bool ReadProgressDialog::report(int done, int total)
{
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(QStringLiteral("Чтение хроматограмм..."),
                                                     QStringLiteral("Отмена"), 0, total, m_parent);
        m_dialog->setObjectName(QStringLiteral("readProgress"));
        m_dialog->setWindowTitle(QStringLiteral("Ворнель"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(MinimumDuration);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setValue(0);
    }
    m_dialog->setMaximum(total);
    // Showing the dialog and taking a press of "Отмена" both happen in here.
    m_dialog->setValue(done);
    return !m_dialog->wasCanceled();
}
