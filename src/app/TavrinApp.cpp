#include "app/TavrinApp.h"

#include "app/TavrinDlg.h"
#include "data/Mixtures.h"
#include "platform/SaveFile.h"
#include "ui/DlgCalcInfo.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>

bool LoadQtTranslations(QTranslator& translator)
{
    return translator.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void SetUpApplication()
{
    LetWritesPastTheSizeLimitFail();
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
