#pragma once

#include "data/GasComponents.h"
#include "data/TempComponents.h"
#include "ui/GridCtrl.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <vector>

class CSettings;
class Profile;
class QPushButton;
class QTabWidget;

// Shows a refusal to the user; a warning box unless replaced (tests do).
using ComponentsMessageHook = std::function<void(QWidget* parent, const QString& text)>;

// What both pages share: a grid of number, name, search name and one value,
// whose only editable column is the search name.
class DlgComponentsPage : public QWidget, public GridNotifyHandler
{
    Q_OBJECT
public:
    CGridCtrl* Grid() const { return m_grid; }

    const CSettings* settings = nullptr;
    ComponentsMessageHook messageHook;

    std::intptr_t onGridNotify(const GridNotify& notify) override;

protected:
    DlgComponentsPage(int controlId, const QString& gridName, const QString& valueCaption, int valueWidth,
                      QWidget* parent);

    // The cells of a row the grid has just added, tagged with the id.
    void FillRow(int row, std::int32_t id, const QString& name, const QString& searchName, double value);
    // The refusal of a search name another component already has.
    void RefuseSearchName(const QString& text, const QString& owner);

    bool OnGridBeginEdit(int row, int column) const;
    // After an edit of a cell; false keeps the grid from taking the new text.
    virtual bool OnGridEndEdit(int row, int column) = 0;

    CGridCtrl* m_grid = nullptr;

private:
    int m_controlId;
};

// The page "Газовые компоненты": the catalogue sorted by search name; only the
// search name can be edited, and every edit is in force at once.
class DlgComponentsGas : public DlgComponentsPage
{
    Q_OBJECT
public:
    enum ControlId { IDC_GAS_GRID = 1101 };

    DlgComponentsGas(GasComponentTable& table, QWidget* parent = nullptr);

    // Refills the grid from the catalogue.
    void FillGrid();

private:
    bool OnGridEndEdit(int row, int column) override;

    GasComponentTable& m_table;
};

// One row of the boiling table as the temperature page edits it.
struct TempEditEntry
{
    const TempComponent* row = nullptr;
    bool modified = false;
    bool nameEdited = false;
    bool searchNameEdited = false;
};

// The page "Температурные компоненты": the boiling table in table order; only
// the search name can be edited, for the rest of the run.
class DlgComponentsTemp : public DlgComponentsPage
{
    Q_OBJECT
public:
    enum ControlId { IDC_TEMP_GRID = 1102 };

    DlgComponentsTemp(TempComponentTable& table, QWidget* parent = nullptr);

    // Rebuilds the edit list (flags clear) and refills the grid.
    void OnInitDialog();
    void FillGrid();
    const std::vector<TempEditEntry>& EditEntries() const { return m_entries; }

private:
    bool OnGridEndEdit(int row, int column) override;

    TempComponentTable& m_table;
    std::vector<TempEditEntry> m_entries;
};

// The modal dialog "Компоненты" over the gas catalogue and the boiling table.
// Building it fills both tables (built-in rows, then the stored search names).
// The changed gas search names are saved when it closes, by OK or by Cancel,
// and again when it is destroyed. OK and Cancel undo and apply nothing: the
// caller recalculates after OK.
class DlgComponents : public QDialog
{
    Q_OBJECT
public:
    // profile: where the search names are read from and saved to (none in
    // some tests). The tables default to the program's own.
    explicit DlgComponents(Profile* profile, QWidget* parent = nullptr,
                           GasComponentTable& gas = GasComponentTable::Global(),
                           TempComponentTable& temp = TempComponentTable::Global());
    ~DlgComponents() override;

    // Set by the main window before every calculation; source of the number
    // of decimals (3 without settings).
    const CSettings* settings = nullptr;

    void setMessageHook(ComponentsMessageHook hook);

    QTabWidget* Tab() const { return m_tab; }

    // Every edit is in force already, so both ways out keep them: the names
    // are written now rather than only when the program ends.
    void done(int result) override;
    DlgComponentsGas* GasPage() const { return m_gasPage; }
    DlgComponentsTemp* TempPage() const { return m_tempPage; }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Every opening starts as a fresh window would: its first size, the gas
    // page in front, both grids filled from the tables as they are now.
    void OnInitDialog();
    // Writes the changed gas search names; a refusal is told (false), the
    // names stay in force.
    bool SaveSearchNames();

    Profile* m_profile;
    ComponentsMessageHook m_messageHook;
    GasComponentTable& m_gas;
    QSize m_initialSize;
    QTabWidget* m_tab = nullptr;
    DlgComponentsGas* m_gasPage = nullptr;
    DlgComponentsTemp* m_tempPage = nullptr;
};
