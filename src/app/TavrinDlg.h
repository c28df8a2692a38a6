#pragma once

#include "calc/CalcData.h"
#include "data/ChromatogramList.h"
#include "data/ChromatogramRecord.h"
#include "data/Settings.h"
#include "report/ResultTablesCaptions.h"
#include "tables/ResultTables.h"

#include <QDialog>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CDlgMSG;
class CDlgOutTable;
class CGridCtrl;
class DlgComponents;
class DlgMixtures;
class DlgResultTab;
class DlgReport;
class MessageLog;
class Profile;
class QPushButton;
class QTabWidget;
class ReadProgressDialog;

// The main window: the command buttons, the chromatogram list and the tabs
// with the chromatogram's peaks and the system messages. It owns the records,
// the settings and the cylinder dialog; every change of the list ends in a
// new role assignment and calculation, and in the list written to the
// profile. OK and Cancel (Enter, Escape, the close box) end the program; the
// list, the message filters and the window rectangle are written when the
// window is destroyed.
class tavrinDlg : public QDialog
{
    Q_OBJECT
public:
    // Builds the window and does everything a start does: settings, catalogues
    // and cylinders loaded, window rectangle and recent files restored, the
    // folders scanned when automatic opening is on, the first calculation run.
    // The profile and the log must outlive the window. readingHook becomes
    // readProgressHook before the start reads.
    tavrinDlg(Profile& profile, MessageLog& log, const QString& mixturesPath, QWidget* parent = nullptr,
              ReadProgress readingHook = {});
    ~tavrinDlg() override;

    // ---- the list --------------------------------------------------------
    // The record's index, or -1 when the file cannot be read. Does not refresh.
    int AddChromatogram(const QString& path);
    // Every record (all) or those of the selected rows; returns how many went.
    // Does not refresh.
    int RemoveChromatograms(bool all);
    // Sort, roles, list, empty information page, calculation.
    void RefreshChromatograms();
    void FillChromatogramList();
    // The peaks of record m_nSelected on the information page.
    void ShowChromatogramInfo();
    // Every selected file, in the application the desktop associates with it.
    void OpenInChromatographySoftware();
    int ScanFolderForChromatograms(const QString& folder);
    bool FindMixtureForSample(ChromatogramRecord& record);
    // Clears the log, recalculates, refills the pages and the messages. An
    // unexpected failure inside the calculation becomes an error message.
    void RunCalculation();

    // ---- the end ---------------------------------------------------------
    // Writes what a close writes, the window staying open and nothing asked:
    // the list, the message filters, the window rectangle, the report's
    // settings and the changed cylinders. For a session that is ending.
    void SaveSession();
    // The program ends on a signal: the end writes as a close does, but a
    // failed write of the cylinders asks nothing.
    void AskNothingAtTheEnd();

    // ---- commands --------------------------------------------------------
    void OnBnClickedAdd();
    void OnBnClickedComponents();
    void OnBnClickedRecalc();
    void OnBnClickedSettings();
    void OnBnClickedMixtures();
    void OnBnClickedDelete();
    void OnBnClickedDeleteAll();
    void OnBnClickedOpenInChromatographySoftware();
    void OnBnClickedReport();

    // ---- what the window shows and holds ---------------------------------
    const std::vector<ChromatogramRecord>& Records() const { return m_records; }
    int SelectedRecord() const { return m_nSelected; }
    CSettings& Settings() { return m_settings; }
    const CalcData& Results() const { return m_calcData; }
    DlgMixtures* Mixtures() const { return m_pDlgMixtures.get(); }
    DlgComponents* Components() const { return m_pDlgComponents.get(); }
    DlgReport* Report() const { return m_pDlgReport.get(); }
    CGridCtrl* ChromatogramList() const { return m_listChromatograms; }
    CDlgOutTable* InfoPage() const { return m_pageInfo; }
    CDlgMSG* MessagePage() const { return m_pageMessages; }
    QTabWidget* ResultTabs() const { return m_tabResults; }
    // The separator-gas, degassing-gas, condensate and formation-gas pages.
    const std::vector<DlgResultTab*>& ResultPages() const { return m_resultPages; }
    // What the result pages show, captions included.
    const ResultTables& Tables() const { return m_resultTables; }

    // How a file is handed to its application (false: the opener did not
    // start) and how a failure is shown; tests replace them.
    std::function<bool(const QString& path)> openFileHook;
    std::function<void(const QString& caption, const QString& text)> errorBoxHook;
    // Asked at each report of a reading before the progress dialog; false
    // stops the reading as "Отмена" does. Tests set it, for the start's
    // reading through the constructor.
    ReadProgress readProgressHook;

protected:
    // The one call into the calculation engine.
    virtual void RecalculateResults();

    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void OnInitDialog(const QString& mixturesPath);
    void CreateButtons();
    void CreateChromatogramList();
    void CreateResultTabs();
    void OnDestroy();
    // The list, the message filters and the window rectangle, unsynced.
    void SaveProfileValues();
    // At every change, synced, so that a lost display or a kill loses none of it.
    void SaveChromatogramList();
    // The listed paths, then the saved list's runs a stopped start left unread.
    QStringList SavedList() const;
    void OnSelectionChangedChromList();
    QList<int> SelectedRows() const;
    void ClearInfoPage();
    void ShowAbout();
    void ShowErrorBox(const QString& caption, const QString& text);
    // Adds or renews a warning for each file a read could not read;
    // listed tells whether they were in the list before.
    void KeepReadWarnings(const UnreadChromatograms& unread, bool listed);
    // Adds or renews a warning for each copy of a listed run left out;
    // listed tells whether it was in the list before.
    void KeepCopyWarnings(const ListedCopies& copies, bool listed);
    // Names, at the next calculation, each listed path whose file now holds another run.
    void TellReplacedRuns(const std::vector<ReplacedRun>& replaced);
    // Adds the warning for the file at path, or puts it in place of the one kept.
    void KeepReadWarning(const QString& path, const QString& warning);
    // The warning kept for the file at path, or the end.
    std::vector<std::pair<QString, QString>>::iterator FindReadWarning(const QString& path);
    void ForgetListedReadWarnings();
    // Keeps which of the paths given to an adding a stop left unread, and
    // forgets the earlier stops' paths among them: they are now read, listed
    // or named.
    void KeepStoppedAdding(const QStringList& paths, const QStringList& leftUnread);
    // The progress a reading reports to: the hook, when set, then the dialog.
    ReadProgress ReadingProgress(ReadProgressDialog& dialog);

    Profile& m_profile;
    MessageLog& m_log;
    CSettings m_settings;
    std::unique_ptr<DlgComponents> m_pDlgComponents;
    std::unique_ptr<DlgMixtures> m_pDlgMixtures;
    std::unique_ptr<DlgReport> m_pDlgReport;
    std::vector<ChromatogramRecord> m_records;
    int m_nSelected = -1;
    // Cleaned path and warning of each file a start or re-read lost, one
    // each. Every calculation clears the log and puts these back, until the
    // file is listed again or "Удалить все" starts a new set.
    std::vector<std::pair<QString, QString>> m_readWarnings;
    // Cleaned paths of the files "Отмена" left unread, named on the message
    // page: an adding's until they are chosen again, the last re-read's
    // while they stay listed; "Удалить все" forgets both.
    QSet<QString> m_addingLeftUnread;
    QSet<QString> m_rereadLeftUnread;
    // Runs of the saved list a stopped start left unread: kept in it until
    // read by "Добавить" or a later start, or "Удалить все".
    QStringList m_savedLeftUnread;
    // The start's notes of the runs of the saved list not found and of the
    // folders its scan left out; kept until the next "Добавить" or "Удалить все".
    QStringList m_startNotes;
    // Listed paths whose files took another run, told at the next calculation only.
    QStringList m_replacedRuns;
    // Why the list could not be written to the profile; empty once it was.
    QString m_listUnwritten;
    // Its blocks point into m_records until the next calculation.
    CalcData m_calcData;
    ResultTables m_resultTables;
    // The report copies its caption rows from the tables the pages show.
    ResultTablesCaptions m_reportCaptions{m_resultTables};
    bool m_destroyed = false;

    CGridCtrl* m_listChromatograms = nullptr;
    QTabWidget* m_tabResults = nullptr;
    CDlgOutTable* m_pageInfo = nullptr;
    CDlgMSG* m_pageMessages = nullptr;
    std::vector<DlgResultTab*> m_resultPages;

    QPushButton* m_buttonAdd = nullptr;
    QPushButton* m_buttonDelete = nullptr;
    QPushButton* m_buttonDeleteAll = nullptr;
    QPushButton* m_buttonOpen = nullptr;
    QPushButton* m_buttonRecalc = nullptr;
    QPushButton* m_buttonComponents = nullptr;
    QPushButton* m_buttonMixtures = nullptr;
    QPushButton* m_buttonSettings = nullptr;
    QPushButton* m_buttonReport = nullptr;
};
