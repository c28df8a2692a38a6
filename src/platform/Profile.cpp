#include "platform/Profile.h"

#include "platform/IniText.h"
#include "platform/SaveFile.h"

#include <QIODevice>
#include <QSaveFile>
#include <QSettings>

#include <cmath>

namespace {

bool readProfileFile(QIODevice& device, QSettings::SettingsMap& values)
{
    values = ReadIniText(device.readAll());
    return true;
}

// Why the last write of writeProfileFile failed; QSettings passes no reason on.
thread_local QString lastWriteFailure;

// QSettings writes through a QSaveFile and commits whatever this returns true
// for; a failed flush returned as false keeps the old file and makes the
// settings report an access error instead of a truncated file.
bool writeProfileFile(QIODevice& device, const QSettings::SettingsMap& values)
{
    return WriteAllAndFlush(device, WriteIniText(values), &lastWriteFailure);
}

// QSettings gives up before it writes when it cannot replace the file or
// write its lock file (a folder without the right to write, a file in the
// way of the folder, a full disk) and keeps no reason; starting the same
// replacement here gives the system's. Empty when that works.
QString whyNotReplaceable(const QString& path)
{
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return SaveFileOpenFailure(probe);
    QString why;
    WriteAllAndFlush(probe, QByteArrayLiteral("\n"), &why);
    probe.cancelWriting();
    return why;
}

// The ini notation with checked writes; the file name ends in ".conf" as the
// profile's always has.
QSettings::Format profileFormat()
{
    static const QSettings::Format format = [] {
        const QSettings::Format registered =
            QSettings::registerFormat(QStringLiteral("conf"), readProfileFile, writeProfileFile);
        return registered == QSettings::InvalidFormat ? QSettings::IniFormat : registered;
    }();
    return format;
}

} // namespace

Profile::Profile()
    : m_settings(std::make_unique<QSettings>(profileFormat(), QSettings::UserScope, QStringLiteral("Quindle"),
                                             QStringLiteral("tavrin")))
{
    // The profile is this one file; no organisation-wide or system file adds to it.
    m_settings->setFallbacksEnabled(false);
}

Profile::Profile(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, profileFormat()))
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
    // QSettings keeps the error of a failed write for good; only a fresh
    // object over the same values tells whether this write works.
    if (m_settings->status() != QSettings::NoError)
        reopen();
    lastWriteFailure.clear();
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) {
        m_writeError.clear();
        return true;
    }
    m_writeError = lastWriteFailure.isEmpty() ? whyNotReplaceable(fileName()) : lastWriteFailure;
    return false;
}

QString Profile::fileName() const
{
    return m_settings->fileName();
}

void Profile::reopen()
{
    QSettings::SettingsMap values;
    for (const QString& key : m_settings->allKeys())
        values.insert(key, m_settings->value(key));
    const QString file = m_settings->fileName();
    m_settings.reset();
    m_settings = std::make_unique<QSettings>(file, profileFormat());
    // Everything in force, the values not yet written included, becomes the
    // content of the next write.
    m_settings->clear();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        m_settings->setValue(it.key(), it.value());
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
