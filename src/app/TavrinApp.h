#pragma once

#include "data/MessageLog.h"
#include "platform/Profile.h"

#include <memory>

class DlgCalcInfo;
class QTranslator;
class TerminationSignals;
class tavrinDlg;

// Loads Qt's own texts (standard buttons, the file dialog) in Russian, as
// every text of the program is, whatever the machine's locale. False, the
// translator left empty, when they are not installed.
bool LoadQtTranslations(QTranslator& translator);

// What the process needs before the application object: writes past a
// file-size limit that fail rather than end it, large freed blocks given
// back to the system rather than kept over a day, the names the profile is
// kept under, the windows' icon, the "." decimal point and Qt's own texts
// in Russian, which last as long as the QApplication does.
void SetUpApplication();

// The application: it holds what lives for the whole run (the settings
// profile and the message log that every calculation writes to) and runs the
// main window; when that window ends, the program ends. SIGTERM, SIGHUP and
// SIGINT end it as a close of the window does, and the session manager's
// request to save writes what a close writes.
class tavrinApp
{
public:
    // The QApplication must exist, with organisation and application names set.
    tavrinApp();
    ~tavrinApp();
    tavrinApp(const tavrinApp&) = delete;
    tavrinApp& operator=(const tavrinApp&) = delete;

    // Runs the main window to its end; returns the process exit code.
    int InitInstance();
    // Ends the run as a close of the main window does, whatever dialog is
    // open on top of it, asking nothing on the way.
    void EndOnSignal();

    Profile& profile() { return m_profile; }
    MessageLog& messageLog() { return m_log; }

private:
    Profile m_profile;
    MessageLog m_log;
    // Lives for the run and is never shown; it writes its column layout when
    // the program ends.
    std::unique_ptr<DlgCalcInfo> m_dlgCalcInfo;
    std::unique_ptr<TerminationSignals> m_signals;
    // While it runs; a signal may come before it is built or while it ends.
    tavrinDlg* m_mainWindow = nullptr;
    bool m_ending = false;
};
