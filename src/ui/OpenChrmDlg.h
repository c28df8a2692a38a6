#pragma once

#include "data/ChromatogramFolderListing.h"
#include "ui/ElidedLabel.h"
#include "ui/FormDialog.h"

#include <QStringList>

#include <memory>
#include <vector>

class CDirTreeCtrl;
class Profile;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The dialog "Открытие хроматограммы": a folder tree, the chromatograms of the
// chosen folder with their passports, filters, and a joint selection of runs
// made together. Its folders are remembered in the chromatography software's
// own settings, and only when the dialog ends with OK.
//     COpenChrmDlg dlg(parent);
//     dlg.m_bSingleSelect = 0;
//     if (dlg.exec() == QDialog::Accepted) ...dlg.m_files...
class COpenChrmDlg : public CFormDialog
{
    Q_OBJECT
public:
    enum ControlId {
        IDOK = 1,
        IDCANCEL = 2,
        IDC_TREE = 1074,
        IDC_METHOD = 1075,
        IDC_SITE = 1076,
        IDC_POINT = 1078,
        IDC_PATH = 1079,
        IDC_TYPE = 1082,
        IDC_WHOLE_FILE_SYSTEM = 1083,
        IDC_JOINT_SELECT = 1084,
        IDC_LIST = 1085,
        IDC_DESCRIPTION = 1086,
        IDC_SITE_LABEL = 1088,
        IDC_POINT_LABEL = 4089,
    };

    // userKey and machineKey: the chromatography software's settings of the
    // user and of the machine, which must outlive the dialog; null opens that
    // software's own ("Quindle", "Morvane").
    explicit COpenChrmDlg(QWidget* parent = nullptr, Profile* userKey = nullptr, const Profile* machineKey = nullptr);
    ~COpenChrmDlg() override;

    // Set by the caller before the run: only one file may be chosen.
    int m_bSingleSelect = 0;
    // After OK: the full paths of the chosen files, in list order.
    QStringList m_files;

    // What the dialog holds now (tests look).
    const QString& CurrentFolder() const { return m_strPath; }
    const std::vector<OpenListItem>& Items() const { return m_items; }
    CDirTreeCtrl* Tree() const { return m_tree; }
    QTreeWidget* List() const { return m_list; }
    QComboBox* MethodBox() const { return m_cbMethod; }
    QComboBox* SiteBox() const { return m_cbSite; }
    QComboBox* PointBox() const { return m_cbPoint; }
    QComboBox* TypeBox() const { return m_cbType; }
    QCheckBox* WholeFileSystemBox() const { return m_chWholeFileSystem; }
    QCheckBox* JointSelectBox() const { return m_chJointSelect; }
    QPlainTextEdit* Description() const { return m_edDescription; }
    ElidedLabel* PathText() const { return m_stPath; }

    void accept() override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateControls();
    void OnInitDialog();
    // Dialog data to the controls (false) or back from them (true).
    void UpdateData(bool fromControls);
    void BuildTree();
    void ScanFolder();
    void FillList();
    void ShowFocusedFile();
    void OnTreeSelChanged(QTreeWidgetItem* item);
    void OnTypeChanged();

    std::unique_ptr<Profile> m_ownUserKey;
    std::unique_ptr<Profile> m_ownMachineKey;
    Profile* m_userKey;
    const Profile* m_machineKey;

    CDirTreeCtrl* m_tree = nullptr;
    QComboBox* m_cbSite = nullptr;
    QComboBox* m_cbPoint = nullptr;
    QComboBox* m_cbMethod = nullptr;
    QComboBox* m_cbType = nullptr;
    ElidedLabel* m_stPath = nullptr;
    QTreeWidget* m_list = nullptr;
    QPlainTextEdit* m_edDescription = nullptr;
    QCheckBox* m_chJointSelect = nullptr;
    QCheckBox* m_chWholeFileSystem = nullptr;

    int m_bJointSelect = 0;
    int m_nType = OpenListAny;
    int m_bWholeFileSystem = 0;
    std::vector<OpenListItem> m_items;
    QString m_strPath;
    QString m_strLastPath1;
    QString m_strLastPath2;
    QString m_strAnyMethod;
    QString m_strAnySite;
    QString m_strAnyPoint;

    bool m_bInitialised = false;
    // The tree selects its remembered folder while it is built; the folder is
    // then read once, by the build.
    bool m_bBuildingTree = false;
    bool m_bJointSelecting = false;
};
