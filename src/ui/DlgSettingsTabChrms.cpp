#include "ui/DlgSettingsTabChrms.h"

#include "data/ChromatogramFolders.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CDlgSettingsTabChrms::CDlgSettingsTabChrms(ChromatogramFolders& folders, QWidget* parent)
    : QWidget(parent)
    , m_folders(folders)
{
    folderPicker = [](QWidget* owner) { return QFileDialog::getExistingDirectory(owner); };

    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("folderList"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("№"), QStringLiteral("Папка")});
    m_list->setColumnWidth(0, 35);
    m_list->setColumnWidth(1, 581);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setStretchLastSection(true);

    auto* add = new QPushButton(QStringLiteral("Добавить"));
    auto* remove = new QPushButton(QStringLiteral("Удалить"));
    auto* removeAll = new QPushButton(QStringLiteral("Удалить все"));
    add->setObjectName(QStringLiteral("addFolder"));
    remove->setObjectName(QStringLiteral("removeFolder"));
    removeAll->setObjectName(QStringLiteral("removeAllFolders"));
    // Enter in the page does nothing, on these buttons too.
    for (QPushButton* b : {add, remove, removeAll})
        b->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] { OnBnClickedAdd(); });
    connect(remove, &QPushButton::clicked, this, [this] { OnBnClickedRemove(); });
    connect(removeAll, &QPushButton::clicked, this, [this] { OnBnClickedRemoveAll(); });

    m_autoOpen = new QCheckBox(QStringLiteral("Открывать хроматограммы автоматически"));
    m_autoOpen->setObjectName(QStringLiteral("enAutoOpen"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_autoOpen);
    buttons->addStretch(1);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(removeAll);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Список папок для поиска хроматограмм:")));
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    ShowMembers();
}

void CDlgSettingsTabChrms::ShowMembers()
{
    m_autoOpen->setChecked(m_folders.enAutoOpen == 1);
    FillFolderList();
}

void CDlgSettingsTabChrms::FillFolderList()
{
    m_list->clear();
    const QStringList& folders = m_folders.folders();
    for (int i = 0; i < folders.size(); ++i) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QString::number(i + 1));
        item->setText(1, folders.at(i));
    }
}

void CDlgSettingsTabChrms::ReadControls()
{
    m_folders.enAutoOpen = m_autoOpen->isChecked() ? 1 : 0;
}

void CDlgSettingsTabChrms::OnBnClickedAdd()
{
    const QString folder = folderPicker ? folderPicker(this) : QString();
    if (folder.isEmpty())
        return;
    m_folders.AddFolder(folder);
    FillFolderList();
}

void CDlgSettingsTabChrms::OnBnClickedRemove()
{
    // The list always mirrors the folders, so a row's position is the folder's.
    QList<int> positions;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        if (m_list->topLevelItem(row)->isSelected())
            positions.append(row);
    }
    if (positions.isEmpty())
        return;
    m_folders.RemoveFolders(positions);
    FillFolderList();
}

void CDlgSettingsTabChrms::OnBnClickedRemoveAll()
{
    m_folders.RemoveAll();
    FillFolderList();
}
