#include "ui/DirTreeCtrl.h"

#include "ui/WaitCursor.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>

#include <algorithm>

namespace {

const QString kSlash = QStringLiteral("/");

// The path without trailing slashes, "/" itself kept.
QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

void CSortStringArray::Sort()
{
    std::stable_sort(begin(), end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

CDirTreeCtrl::CDirTreeCtrl(QWidget* parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    // The column is as wide as its widest open folder, with a scroll bar
    // below, so a deep folder's name is read whole rather than cut.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_icons.setOptions(QFileIconProvider::DontUseCustomDirectoryIcons);
    connect(this, &QTreeWidget::itemExpanded, this, &CDirTreeCtrl::OnItemExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &CDirTreeCtrl::OnItemCollapsed);
}

bool CDirTreeCtrl::DisplayTree(const QString& root, bool files)
{
    m_bFilling = true;
    clear();
    m_bFiles = files;
    m_strError.clear();
    bool shown = true;
    if (!root.isEmpty()) {
        m_strRoot = root.endsWith(kSlash) ? root : root + kSlash;
        QTreeWidgetItem* item = AddItem(nullptr, root);
        if (item) {
            FillFolder(item, root);
            item->setExpanded(true);
        } else {
            shown = false;
        }
    } else {
        m_strRoot.clear();
        if (QTreeWidgetItem* item = AddItem(nullptr, kSlash))
            addPlaceholder(item);
        else
            shown = false;
    }
    m_bFilling = false;
    return shown;
}

QTreeWidgetItem* CDirTreeCtrl::AddItem(QTreeWidgetItem* parent, const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        m_strError = QStringLiteral("Error Gettting SystemFileInfo!");
        return nullptr;
    }
    const QString text = parent ? GetSubPath(path) : withoutTrailingSlash(path);
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setIcon(0, m_icons.icon(info));
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void CDirTreeCtrl::addPlaceholder(QTreeWidgetItem* item)
{
    item->addChild(new QTreeWidgetItem(QStringList{QString()}));
}

void CDirTreeCtrl::FillFolder(QTreeWidgetItem* item, const QString& path)
{
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
    CSortStringArray folders;
    CSortStringArray fileNames;
    for (const QFileInfo& entry : entries) {
        if (entry.isDir())
            folders.append(entry.filePath());
        else if (m_bFiles)
            fileNames.append(entry.filePath());
    }
    folders.Sort();

    const WaitCursor wait;
    setUpdatesEnabled(false);
    for (const QString& folder : folders) {
        if (QTreeWidgetItem* child = AddItem(item, folder))
            addPlaceholder(child);
    }
    if (m_bFiles) {
        fileNames.Sort();
        for (const QString& file : fileNames)
            AddItem(item, file);
    }
    setUpdatesEnabled(true);
}

void CDirTreeCtrl::OnItemExpanded(QTreeWidgetItem* item)
{
    if (m_bFilling)
        return;
    qDeleteAll(item->takeChildren());
    FillFolder(item, GetItemPath(item));
}

void CDirTreeCtrl::OnItemCollapsed(QTreeWidgetItem* item)
{
    if (m_bFilling)
        return;
    qDeleteAll(item->takeChildren());
    addPlaceholder(item);
}

QString CDirTreeCtrl::GetItemPath(const QTreeWidgetItem* item) const
{
    QStringList names;
    const QTreeWidgetItem* top = item;
    for (; top && top->parent(); top = top->parent())
        names.prepend(top->text(0));
    if (!top)
        return QString();
    const QString root = top->text(0);
    if (names.isEmpty())
        return root;
    return (root == kSlash ? QString() : root) + kSlash + names.join(kSlash);
}

QString CDirTreeCtrl::GetSubPath(const QString& path)
{
    QString p = path;
    if (p.endsWith(kSlash))
        p.chop(1);
    const qsizetype slash = p.lastIndexOf(kSlash);
    return slash < 0 ? p : p.mid(slash + 1);
}

QTreeWidgetItem* CDirTreeCtrl::FindChildItem(QTreeWidgetItem* parent, const QString& text) const
{
    const int count = parent ? parent->childCount() : topLevelItemCount();
    auto child = [&](int i) { return parent ? parent->child(i) : topLevelItem(i); };
    for (int i = 0; i < count; ++i) {
        if (child(i)->text(0) == text)
            return child(i);
    }
    for (int i = 0; i < count; ++i) {
        if (child(i)->text(0).compare(text, Qt::CaseInsensitive) == 0)
            return child(i);
    }
    return nullptr;
}

QTreeWidgetItem* CDirTreeCtrl::rootOf(const QString& cleanPath) const
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = topLevelItem(i);
        const QString root = top->text(0);
        const bool under = root == kSlash ? cleanPath.startsWith(kSlash)
                                          : cleanPath == root || cleanPath.startsWith(root + kSlash);
        if (under)
            return top;
    }
    return nullptr;
}

bool CDirTreeCtrl::FolderExists(const QString& path) const
{
    if (path.isEmpty())
        return false;
    const QString p = withoutTrailingSlash(QDir::cleanPath(path));
    return rootOf(p) && QFileInfo(p).isDir();
}

void CDirTreeCtrl::expandAfresh(QTreeWidgetItem* item)
{
    if (item->isExpanded())
        item->setExpanded(false);
    item->setExpanded(true);
}

bool CDirTreeCtrl::SetSelPath(const QString& path)
{
    if (!FolderExists(path))
        return false;
    const QString p = withoutTrailingSlash(QDir::cleanPath(path));
    QTreeWidgetItem* item = rootOf(p);
    if (!item)
        return false;
    // The root's own path is matched whole; the rest is walked name by name.
    const QString rest = item->text(0) == kSlash ? p : p.mid(item->text(0).size());
    const QStringList names = rest.split(kSlash, Qt::SkipEmptyParts);

    setUpdatesEnabled(false);
    expandAfresh(item);
    for (const QString& name : names) {
        item = FindChildItem(item, name);
        if (!item) {
            setUpdatesEnabled(true);
            return false;
        }
        expandAfresh(item);
    }
    setCurrentItem(item);
    setUpdatesEnabled(true);
    scrollToItem(item);
    return true;
}
