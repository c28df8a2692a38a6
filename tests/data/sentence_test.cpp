#include <gtest/gtest.h>

#include "data/Sentence.h"

#include <QLocale>
#include <QScopeGuard>

#include <string>

// A reason that ends as a sentence gets no second mark; the capital does not
// follow the locale, where a Turkish one would dot the "I".
TEST(AsSentence, capitalisesAndEndsWithOneMark)
{
    const struct {
        const char* reason;
        const char* sentence;
    } cases[] = {
        {"файл пуст", "Файл пуст."},
        {"ёмкость мала", "Ёмкость мала."},
        {"Остановлено.", "Остановлено."},
        {"Стоп!", "Стоп!"},
        {"куда?", "Куда?"},
        {"текст обрезан…", "Текст обрезан…"},
        {"image too big", "Image too big."},
        {"", ""},
    };
    const QLocale before;
    const auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });
    QLocale::setDefault(QLocale(QLocale::Turkish));
    for (const auto& c : cases)
        EXPECT_EQ(AsSentence(QString::fromUtf8(c.reason)).toStdString(), std::string(c.sentence));
}
