#pragma once

#include <QWidget>

#include <functional>

class ChromatogramFolders;
class QCheckBox;
class QTreeWidget;

// The third page of the settings dialog: the folders scanned for
// chromatograms at start-up and the switch for the scan. Adding and removing
// change the folder list at once; the switch only through ReadControls.
class CDlgSettingsTabChrms : public QWidget
{
    Q_OBJECT
public:
    explicit CDlgSettingsTabChrms(ChromatogramFolders& folders, QWidget* parent = nullptr);

    // Asks for one folder; an empty text when the user cancels.
    // The system's folder picker unless replaced (tests do).
    std::function<QString(QWidget* parent)> folderPicker;

    void ShowMembers();
    void FillFolderList();
    void ReadControls();

    void OnBnClickedAdd();
    void OnBnClickedRemove();
    void OnBnClickedRemoveAll();

    QTreeWidget* folderList() const { return m_list; }

private:
    ChromatogramFolders& m_folders;
    QTreeWidget* m_list = nullptr;
    QCheckBox* m_autoOpen = nullptr;
};
