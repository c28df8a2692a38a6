#pragma once

#include "plot/CalibrationGraphImage.h"
#include "report/ReportDocument.h"
#include "report/ReportSettings.h"

#include <QDialog>
#include <QString>

#include <functional>

class Profile;
class QCheckBox;
class QFileDialog;
class QLineEdit;
class QPushButton;

// The dialog "Отчёт": the device number, the operator and the sections of
// the report, then "Просмотр" (the HTML report in a fresh temporary file,
// opened in the desktop's browser) or "Сохранить" (the HTML report where the
// operator says, ".html" added to a name without ".html" or ".htm", a name
// with double quotes refused). The
// calibration graph goes into a fresh temporary folder for a viewed report
// and into "<name>_files" beside a saved one, so a saved report keeps its
// picture. The main window keeps one for the whole run and opens it
// modally; it stays open after every report. What is typed and ticked
// reaches the fields only by "Просмотр", "Сохранить" or Enter (which closes
// it as OK); "Отмена" and Escape drop it. The fields are written to the
// profile when the dialog is destroyed. A report that cannot be made leaves
// nothing behind, and a saved one replaces an old page and its graph
// together or not at all; a failed "Просмотр" or "Сохранить" says so in a
// message box with the path and the reason, so that nobody takes the report
// for saved or waits for a page that never opens; so does a written page
// that no application opens.
class DlgReport : public QDialog
{
    Q_OBJECT
public:
    // Loads the fields from the profile, which must outlive the dialog.
    explicit DlgReport(Profile& profile, QWidget* parent = nullptr);
    ~DlgReport() override;

    // What the reports are made from; set by the owner once.
    void SetSources(const ReportSources& sources) { m_sources = sources; }
    const ReportSources& Sources() const { return m_sources; }

    void LoadSettings();
    void SaveSettings();
    const ReportSettings& Fields() const { return m_fields; }

    void OnBnClickedView();
    void OnBnClickedSave();
    // Takes the controls into the fields, builds the document and views or
    // saves it. True when an HTML file was written.
    bool BuildReport(bool save);

    // The stylesheet; the one beside the executable unless set otherwise.
    void SetStylesheetPath(const QString& path) { m_xslPath = path; }
    const QString& StylesheetPath() const { return m_xslPath; }

    // How a viewed report is handed to the browser (false: the opener did
    // not start), and how the file name for saving is asked (an empty name
    // cancels); tests replace them.
    std::function<bool(const QString& path)> openFileHook;
    std::function<QString(QWidget* parent, const QString& defaultName)> saveFileNameHook;
    // How a report that was not written is shown; tests replace it.
    std::function<void(const QString& caption, const QString& text)> errorBoxHook;

    // Where the save dialog starts: the folder of the last saved report while
    // it exists, else the user's home folder.
    QString SaveFolder() const;

    // Enter outside the buttons: the controls are taken, as by OK.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // true: controls to fields; false: fields to controls.
    void UpdateData(bool save);
    QString AskSavePath(const QString& defaultName);
    // The report was not saved or not made for viewing: where to and why.
    void ShowReportError(bool save, const QString& path, const QString& reason);
    void ShowErrorBox(const QString& text);
    // Hands a written page to the browser; a page no application opens is told.
    void OpenReportPage(const QString& page);

    Profile& m_profile;
    ReportSettings m_fields;
    ReportSources m_sources;
    QString m_xslPath;
    // Paints the graph unless the sources bring their own painter.
    CalibrationGraphImage m_graphImage;
    QFileDialog* m_saveDialog = nullptr; // made at the first save, a child of this dialog

    QLineEdit* m_editDevice = nullptr;
    QLineEdit* m_editOperator = nullptr;
    QCheckBox* m_checkAssayList = nullptr;
    QCheckBox* m_checkMixtureList = nullptr;
    QCheckBox* m_checkGs = nullptr;
    QCheckBox* m_checkGd = nullptr;
    QCheckBox* m_checkDc = nullptr;
    QCheckBox* m_checkPg = nullptr;
    QCheckBox* m_checkMessages = nullptr;
    QPushButton* m_buttonView = nullptr;
    QPushButton* m_buttonSave = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};
