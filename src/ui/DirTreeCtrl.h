#pragma once

#include <QFileIconProvider>
#include <QStringList>
#include <QTreeWidget>

// A string list that sorts without regard to letter case.
class CSortStringArray : public QStringList
{
public:
    // Ascending, letter case ignored; names equal but for case stay together
    // in no defined order.
    void Sort();
};

// A tree of the file system's folders, either the whole file system from "/"
// or one root folder. A folder's sub-folders are read when its node opens,
// anew each time, so the tree always shows what is on disk.
class CDirTreeCtrl : public QTreeWidget
{
    Q_OBJECT
public:
    explicit CDirTreeCtrl(QWidget* parent = nullptr);

    // Builds the tree anew: an empty root shows the whole file system under
    // one node "/", any other root that folder, opened. False, with
    // m_strError, when the root cannot be shown.
    bool DisplayTree(const QString& root, bool files);
    // Opens the tree along the path and selects its last folder; false, with
    // the selection unchanged, when the path is not a folder under a root of
    // the tree or a component cannot be found.
    bool SetSelPath(const QString& path);
    // The full path of an item: its root's path and the names below it.
    QString GetItemPath(const QTreeWidgetItem* item) const;
    // The last component of a path, one trailing "/" ignored.
    static QString GetSubPath(const QString& path);
    // Appends a node for the folder under the parent (a root when parent is
    // null); nullptr when the path cannot be shown.
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const QString& path);
    // Appends the sub-folders of the path under the item, each with the
    // placeholder that shows it can be opened.
    void FillFolder(QTreeWidgetItem* item, const QString& path);
    // The child (a root when parent is null) named exactly so, else the first
    // named so without regard to letter case; nullptr when none.
    QTreeWidgetItem* FindChildItem(QTreeWidgetItem* parent, const QString& text) const;
    // Whether the path lies under a root of the tree and is a folder.
    bool FolderExists(const QString& path) const;

    bool m_bFiles = false;
    QString m_strError;
    QString m_strRoot; // the one root with a trailing "/"; empty for the whole file system

private:
    // The root whose path begins the path, component by component; nullptr when none.
    QTreeWidgetItem* rootOf(const QString& cleanPath) const;
    void addPlaceholder(QTreeWidgetItem* item);
    void OnItemExpanded(QTreeWidgetItem* item);
    void OnItemCollapsed(QTreeWidgetItem* item);
    // Opens the item so that its folder is read now, even when it was open.
    void expandAfresh(QTreeWidgetItem* item);

    QFileIconProvider m_icons;
    bool m_bFilling = false;
};
