#pragma once

#include "data/Mixtures.h"
#include "ui/GridCtrl.h"

#include <QDialog>
#include <QMessageBox>

#include <functional>

class CSettings;
class QPushButton;

// The dialog "Смеси": the cylinder database with the composition of each
// cylinder. It owns the cylinder list for the whole run; every edit acts on
// the list at once, so closing with "Отмена" undoes nothing. The database is
// written whenever the dialog closes ("Ок", "Отмена", Escape, the close box)
// and again when the dialog object is destroyed, each time only if something
// changed since the last write; a failed write at the end asks whether to try
// again, unless the program is ending on a signal.
class DlgMixtures : public QDialog, public GridNotifyHandler
{
    Q_OBJECT
public:
    enum ControlId {
        IDC_MIXTURES_GRID = 1059,
        IDC_COMPONENTS_GRID = 1067,
    };

    // path: the database file; settings: where the number of decimals comes
    // from (3 without settings). Neither is read until LoadMixtures or the
    // first opening.
    DlgMixtures(const QString& path, CSettings* settings, QWidget* parent = nullptr);
    ~DlgMixtures() override;

    // Reads the database into the list; damage is reported to the user and
    // the cylinders read before it are kept.
    void LoadMixtures();
    // Writes the list; a failure is reported and the list stays as it is.
    bool SaveMixtures();
    // Writes the list if it changed since the last write; while that fails,
    // asks whether to try again, or without ask leaves the failure as it is.
    // False when the changes stay unwritten.
    bool SaveMixturesAtExit(bool ask);
    // Nobody is there to answer when the program ends on a signal: the end
    // then writes once without asking.
    void SetAskAtExit(bool ask) { m_bAskAtExit = ask; }
    // Empties the list.
    void FreeMixtures();

    // The list the calculations, the records and the report read.
    const MixtureList& Mixtures() const { return m_mixtures; }
    // Set by every change of the list; never cleared.
    bool IsModified() const { return m_bModified; }
    // Changes not yet in the database file.
    bool HasUnsavedChanges() const { return m_bUnsaved; }
    const QString& Path() const { return m_strPath; }

    // How the dialog talks to the user; tests catch the messages here. The
    // sink returns the button chosen (NoButton for a plain message).
    using MessageSink = std::function<QMessageBox::StandardButton(QMessageBox::Icon icon, const QString& caption,
                                                                  const QString& text,
                                                                  QMessageBox::StandardButtons buttons)>;
    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }

    // The cylinder, and the component of it, that the highlighted rows
    // designate; -1 when no row is highlighted or the row is a placeholder.
    int SelectedMixture() const;
    int SelectedComponent() const;
    CGridCtrl* MixturesGrid() { return m_gridMixtures; }
    CGridCtrl* ComponentsGrid() { return m_gridComponents; }

    std::intptr_t onGridNotify(const GridNotify& notify) override;

    // Every way of closing writes the list before the dialog closes, as
    // every edit is in force already; a cell still being edited is ended
    // first, as by Enter.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void OnInitDialog();
    // Refills the cylinder grid, highlighting the cylinder `select` (-1: none).
    void FillMixturesGrid(int select = -1);
    void FillComponentsGrid();
    void AddPlaceholderRows(CGridCtrl* grid, const QString& text);

    void OnClickMixtures();
    void OnMixtureSelectionChanged();
    void OnBnClickedAddMixture();
    void OnBnClickedDeleteMixture();
    void OnBnClickedResetDate();
    void OnBnClickedAddComponent();
    void OnBnClickedDeleteComponent();

    std::intptr_t OnMixtureCellChanged(int row, int column);
    std::intptr_t OnComponentCellChanged(int row, int column);

    MixtureData* SelectedMixtureData() const;
    QString FormatValue(double value) const;
    void MarkModified();
    QMessageBox::StandardButton ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    CGridCtrl* m_gridMixtures = nullptr;
    CGridCtrl* m_gridComponents = nullptr;
    QPushButton* m_buttonAddMixture = nullptr;
    QPushButton* m_buttonDeleteMixture = nullptr;
    QPushButton* m_buttonResetDate = nullptr;
    QPushButton* m_buttonAddComponent = nullptr;
    QPushButton* m_buttonDeleteComponent = nullptr;

    MixtureList m_mixtures;
    CSettings* m_pSettings = nullptr;
    // The cylinder whose composition the composition grid shows, -1 none.
    int m_nShownMixture = -1;
    bool m_bFillingMixtures = false;
    QString m_strPath;
    bool m_bModified = false;
    bool m_bUnsaved = false;
    bool m_bAskAtExit = true;
    MixturesDatabase m_database;
    MessageSink m_messageSink;
};
