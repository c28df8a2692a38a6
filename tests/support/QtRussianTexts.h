#pragma once

// Qt's own texts in Russian for the lifetime of the object, from the
// translations the program loads at start. loaded() is false when they are
// not installed (qt6-translations-l10n).

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace testsupport {

class QtRussianTexts
{
public:
    QtRussianTexts()
    {
        m_loaded = m_translator.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                   && QCoreApplication::installTranslator(&m_translator);
    }
    ~QtRussianTexts() { QCoreApplication::removeTranslator(&m_translator); }
    QtRussianTexts(const QtRussianTexts&) = delete;
    QtRussianTexts& operator=(const QtRussianTexts&) = delete;

    bool loaded() const { return m_loaded; }

private:
    QTranslator m_translator;
    bool m_loaded = false;
};

} // namespace testsupport
