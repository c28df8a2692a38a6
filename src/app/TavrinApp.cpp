#include "app/TavrinApp.h"

#include "app/TavrinDlg.h"
#include "app/TerminationSignals.h"
#include "data/Mixtures.h"
#include "platform/SaveFile.h"
#include "ui/DlgCalcInfo.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

#include <clocale>

#ifdef __GLIBC__
#include <malloc.h>
#endif

bool LoadQtTranslations(QTranslator& translator)
{
    return translator.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void SetUpApplication()
{
    LetWritesPastTheSizeLimitFail();
#ifdef __GLIBC__
    // glibc raises its mmap threshold to the largest block freed and its trim
    // threshold to twice that: after one report's graph image (4 MB) every
    // reading thread's arena keeps megabytes freed, more with each re-read
    // over a day. Held at half a MB, the few hundred KB a file's reading
    // takes are still reused from the arenas, larger blocks are mapped on
    // their own and returned at once, and no arena keeps more free at its top.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024);
#endif
    QCoreApplication::setOrganizationName(QStringLiteral("Quindle"));
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    // Every window, the About box's logo included, shows the program's icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tavrin.png")));
    // The application object sets the C locale from the environment, so the
    // interface follows the user's locale; numbers keep the "." decimal point.
    std::setlocale(LC_NUMERIC, "C");
    // Owned by the application, as a translator must outlive its use. Without
    // the translations the program still runs, with Qt's texts in English.
    auto* qtTexts = new QTranslator(QCoreApplication::instance());
    if (LoadQtTranslations(*qtTexts))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}

tavrinApp::tavrinApp()
    : m_dlgCalcInfo(std::make_unique<DlgCalcInfo>(m_profile))
    , m_signals(std::make_unique<TerminationSignals>())
{
    QObject::connect(m_signals.get(), &TerminationSignals::received, m_signals.get(), [this] { EndOnSignal(); });
}

tavrinApp::~tavrinApp() = default;

int tavrinApp::InitInstance()
{
    tavrinDlg dlg(m_profile, m_log, DefaultMixturesPath());
    m_mainWindow = &dlg;
    if (m_ending)
        dlg.AskNothingAtTheEnd();
#ifndef QT_NO_SESSIONMANAGER
    // A session that ends may take the display away or kill the program
    // next; the window writes beforehand what its close would.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &dlg, [&dlg](QSessionManager&) { dlg.SaveSession(); });
#endif
    // Returns at once when a signal came while the window was being built.
    dlg.exec();
    m_mainWindow = nullptr;
    // Leaving this scope destroys the window, which writes its profile values.
    return 0;
}

void tavrinApp::EndOnSignal()
{
    m_ending = true;
    if (m_mainWindow)
        m_mainWindow->AskNothingAtTheEnd();
    // Leaves every event loop, a modal dialog's included, and keeps every
    // later one from running: the window's loop ends and the window is
    // destroyed as at a close.
    QCoreApplication::exit(0);
}
