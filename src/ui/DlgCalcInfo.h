#pragma once

#include "ui/GridCtrl.h"

#include <QWidget>

#include <vector>

class Profile;
class QComboBox;
class QLabel;
class QMenu;

// One column of the calculation-information grid: its fixed identity, the
// width it takes when shown, and whether it is shown.
struct ColumnLayout
{
    int nId = 0;
    int nWidth = 20;
    bool bVisible = false;
};

// The page of per-peak statistics of one cylinder mixture and channel. The
// operator chooses the columns shown through the grid's context menu and
// their widths by dragging; the layout is kept in the program's profile and
// written when the object goes, whether or not the page was ever set up.
class DlgCalcInfo : public QWidget, public GridNotifyHandler
{
    Q_OBJECT
public:
    enum ControlId { IDC_GRID = 1028, IDC_CHANNEL = 1025, IDC_CHANNEL_LABEL = 1026, IDC_MIXTURE_LABEL = 1029,
                     IDC_MIXTURE = 1051 };
    static constexpr int ID_COLUMN_FIRST = 4024; // column toggles run from here to 4124

    // The profile must outlive the object.
    explicit DlgCalcInfo(Profile& profile, QWidget* parent = nullptr);
    ~DlgCalcInfo() override;

    // Loads the layout and puts up the fifteen columns.
    void OnInitDialog();
    void LoadLayout();
    void SaveLayout();
    void AddColumn(int position, const QString& caption, int defaultWidth, int id);

    // The context menu of the grid: one checkable entry per column; nullptr
    // before the page is set up. The caller owns the menu.
    QMenu* CreateColumnMenu();
    // Shows or hides column i, as its menu entry does.
    void OnColumnToggle(int column);

    const std::vector<ColumnLayout>& Layout() const { return m_layout; }
    CGridCtrl* Grid() const { return m_grid; }

    std::intptr_t onGridNotify(const GridNotify& notify) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Profile& m_profile;
    QString m_strSection;
    QString m_strSubsection;
    CGridCtrl* m_grid = nullptr;
    QComboBox* m_cbMixture = nullptr;
    QComboBox* m_cbChannel = nullptr;
    QLabel* m_lbMixture = nullptr;
    QLabel* m_lbChannel = nullptr;
    std::vector<ColumnLayout> m_layout;
    bool m_bInitialised = false;
};
