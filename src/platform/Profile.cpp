#include "platform/Profile.h"

#include <QSettings>

#include <cmath>

Profile::Profile()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Quindle"), QStringLiteral("tavrin")))
{
}

Profile::Profile(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

Profile::Profile(ProfileScope scope, const QString& organisation, const QString& application)
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat,
                                             scope == ProfileScope::User ? QSettings::UserScope
                                                                         : QSettings::SystemScope,
                                             organisation, application))
{
    m_settings->setFallbacksEnabled(false);
}

Profile::~Profile() = default;

QString Profile::keyPath(const QString& section, const QString& key)
{
    QString group = section;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (group.isEmpty())
        return key;
    return group + QLatin1Char('/') + key;
}

int Profile::readInt(const QString& section, const QString& key, int defaultValue) const
{
    const QVariant v = m_settings->value(keyPath(section, key));
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    const int value = v.toString().trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

QString Profile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QVariant v = m_settings->value(keyPath(section, key));
    if (!v.isValid())
        return defaultValue;
    // A value holding a comma comes back from the ini format as a list.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

double Profile::readDouble(const QString& section, const QString& key, double defaultValue) const
{
    if (!m_settings->contains(keyPath(section, key)))
        return defaultValue;
    double value = 0.0;
    return parseDouble(readString(section, key, QString()), value) ? value : defaultValue;
}

bool Profile::contains(const QString& section, const QString& key) const
{
    return m_settings->contains(keyPath(section, key));
}

bool Profile::readText(const QString& section, const QString& key, QString& text) const
{
    const QVariant v = m_settings->value(keyPath(section, key));
    if (v.typeId() == QMetaType::QString) {
        text = v.toString();
        return true;
    }
    // A value holding a comma comes back from the ini format as a list.
    if (v.typeId() == QMetaType::QStringList) {
        text = v.toStringList().join(QLatin1Char(','));
        return true;
    }
    return false;
}

QByteArray Profile::readBinary(const QString& section, const QString& key) const
{
    const QVariant v = m_settings->value(keyPath(section, key));
    if (v.typeId() != QMetaType::QByteArray)
        return QByteArray();
    return v.toByteArray();
}

void Profile::writeInt(const QString& section, const QString& key, int value)
{
    m_settings->setValue(keyPath(section, key), value);
}

void Profile::writeString(const QString& section, const QString& key, const QString& value)
{
    m_settings->setValue(keyPath(section, key), value);
}

void Profile::writeDouble(const QString& section, const QString& key, double value)
{
    writeString(section, key, formatDouble(value));
}

void Profile::writeBinary(const QString& section, const QString& key, const QByteArray& value)
{
    m_settings->setValue(keyPath(section, key), value);
}

void Profile::deleteSection(const QString& section)
{
    QString group = section;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    m_settings->remove(group);
}

void Profile::deleteValue(const QString& section, const QString& key)
{
    m_settings->remove(keyPath(section, key));
}

bool Profile::sync()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString Profile::formatDouble(double value)
{
    // QString::asprintf ignores the C locale, so "." is always the separator.
    return QString::asprintf("%.10f", value);
}

bool Profile::parseDouble(const QString& text, double& value)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);  // QString::toDouble is locale-independent
    if (!ok)
        return false;
    value = v;
    return true;
}

void RegQueryString(QString& result, const Profile& key, const QString& valueName, const QString& defaultText)
{
    QString text;
    if (key.readText(QString(), valueName, text)) {
        const qsizetype zero = text.indexOf(QChar(u'\0'));
        if (zero >= 0)
            text.truncate(zero);
        if (!text.isEmpty()) {
            result = text;
            return;
        }
    }
    result = defaultText;
}
