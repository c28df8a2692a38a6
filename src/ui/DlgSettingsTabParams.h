#pragma once

#include "data/SamplingParameters.h"

#include <QString>
#include <QWidget>

#include <array>

class QLineEdit;

// The second page of the settings dialog: the twenty sampling parameters,
// grouped by sample kind. The settings change only through ReadControls.
class CDlgSettingsTabParams : public QWidget
{
    Q_OBJECT
public:
    explicit CDlgSettingsTabParams(SamplingParameters& params, QWidget* parent = nullptr);

    void ShowMembers();
    // The first field that does not hold a number: its message and the field.
    bool CheckControls(QString* message, QWidget** field) const;
    // Takes the fields into the settings; CheckControls must have passed.
    void ReadControls();

private:
    SamplingParameters& m_params;
    std::array<QLineEdit*, SamplingParameters::FieldCount> m_edits{};
    std::array<QString, SamplingParameters::FieldCount> m_groupOf;
};
