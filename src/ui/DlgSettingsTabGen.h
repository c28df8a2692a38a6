#pragma once

#include "ui/GridCtrl.h"

#include <QWidget>

#include <array>

class GeneralSettings;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

// The first page of the settings dialog: rounding, nitrogen corrections,
// blank subtraction with the sample start time, analysis counts and the
// chromatogram-type grid. Grid edits change the type table at once; every
// other field reaches the settings only through ReadControls.
class CDlgSettingsTabGen : public QWidget, public GridNotifyHandler
{
    Q_OBJECT
public:
    static constexpr int TypeGridId = 1105;

    explicit CDlgSettingsTabGen(GeneralSettings& general, QWidget* parent = nullptr);

    // Writes the settings into the fields and refills the type grid.
    void ShowMembers();
    // The first field whose text is not a valid value: its message and the
    // field. True when every field holds a value.
    bool CheckControls(QString* message, QWidget** field) const;
    // Takes the fields into the settings; CheckControls must have passed.
    void ReadControls();

    CGridCtrl* typeGrid() const { return m_grid; }

    std::intptr_t onGridNotify(const GridNotify& notify) override;

private:
    void fillTypeGrid();
    void updateStartTimeEnabled();

    GeneralSettings& m_general;
    QLineEdit* m_digitsInProgram = nullptr;
    QLineEdit* m_digitsInReport = nullptr;
    QCheckBox* m_gsGradCorrect = nullptr;
    QCheckBox* m_gsAnalysCorrect = nullptr;
    QCheckBox* m_gdGradCorrect = nullptr;
    QCheckBox* m_gdAnalysCorrect = nullptr;
    QCheckBox* m_blankSubtraction = nullptr;
    QLabel* m_startTimeLabel = nullptr;
    QLineEdit* m_startTime = nullptr;
    std::array<QButtonGroup*, 11> m_counts{};  // in the order of GeneralSettings::AnalysisCounts
    CGridCtrl* m_grid = nullptr;
};
