#include "ui/DlgMSG.h"

#include "data/MessageLog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CDlgMSG::CDlgMSG(MessageLog& log, const Profile& profile, QWidget* parent)
    : QWidget(parent)
    , m_log(log)
{
    m_checkErrors = new QCheckBox(QStringLiteral("Ошибки"), this);
    m_checkErrors->setObjectName(QStringLiteral("checkErrors"));
    m_checkWarnings = new QCheckBox(QStringLiteral("Предупреждения"), this);
    m_checkWarnings->setObjectName(QStringLiteral("checkWarnings"));
    m_checkInfos = new QCheckBox(QStringLiteral("Информация"), this);
    m_checkInfos->setObjectName(QStringLiteral("checkInfos"));

    m_editText = new QPlainTextEdit(this);
    m_editText->setObjectName(QStringLiteral("editText"));
    m_editText->setReadOnly(true);
    m_editText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // A row of boxes over a text that takes the rest of the page.
    auto* boxes = new QHBoxLayout;
    boxes->setSpacing(10);
    boxes->addWidget(m_checkErrors);
    boxes->addWidget(m_checkWarnings);
    boxes->addWidget(m_checkInfos);
    boxes->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(11, 11, 11, 11);
    page->setSpacing(4);
    page->addLayout(boxes);
    page->addWidget(m_editText, 1);

    // clicked, not toggled: putting the flags into the boxes must not come back here.
    for (QCheckBox* box : {m_checkErrors, m_checkWarnings, m_checkInfos})
        connect(box, &QCheckBox::clicked, this, &CDlgMSG::OnBnClickedFilter);

    m_log.ClearMessages();
    m_log.LoadFilters(profile);
    BuildMessageText();
}

void CDlgMSG::BuildMessageText()
{
    m_editText->setPlainText(m_log.BuildMessageText());
    m_checkErrors->setChecked(m_log.showErrors() > 0);
    m_checkWarnings->setChecked(m_log.showWarnings() > 0);
    m_checkInfos->setChecked(m_log.showInfos() > 0);
}

void CDlgMSG::OnBnClickedFilter()
{
    m_log.setShowErrors(m_checkErrors->isChecked() ? 1 : 0);
    m_log.setShowWarnings(m_checkWarnings->isChecked() ? 1 : 0);
    m_log.setShowInfos(m_checkInfos->isChecked() ? 1 : 0);
    BuildMessageText();
}
