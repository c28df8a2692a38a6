#include "app/TavrinApp.h"

#include "app/TavrinDlg.h"
#include "data/Mixtures.h"
#include "ui/DlgCalcInfo.h"

#include <QLibraryInfo>
#include <QTranslator>

bool LoadQtTranslations(QTranslator& translator)
{
    return translator.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

tavrinApp::tavrinApp()
    : m_dlgCalcInfo(std::make_unique<DlgCalcInfo>(m_profile))
{
}

tavrinApp::~tavrinApp() = default;

int tavrinApp::InitInstance()
{
    tavrinDlg dlg(m_profile, m_log, DefaultMixturesPath());
    dlg.exec();
    // Leaving this scope destroys the window, which writes its profile values.
    return 0;
}
