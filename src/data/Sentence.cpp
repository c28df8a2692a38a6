#include "data/Sentence.h"

QString AsSentence(const QString& reason)
{
    QString text = reason;
    if (text.isEmpty())
        return text;
    text[0] = text[0].toUpper();
    if (!QStringLiteral(".!?…").contains(text.back()))
        text += QLatin1Char('.');
    return text;
}
