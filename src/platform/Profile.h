#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSettings;

// The program's settings profile (organisation "Quindle", application "tavrin").
// Sections are written as in the profile's own notation, with "\" between
// levels ("Settings\General"); an empty section is the profile's root.
// Tests point the whole process at a scratch folder with
// QSettings::setPath(), or build a Profile on an explicit file.
class Profile
{
public:
    Profile();
    explicit Profile(const QString& iniFile);
    ~Profile();
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    // A value that is missing or not a whole number reads as the default.
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Fractions are stored as text made with "%.10f"; a value that is missing
    // or not a number reads as the default. Parsing ignores the machine's locale.
    double readDouble(const QString& section, const QString& key, double defaultValue) const;
    bool contains(const QString& section, const QString& key) const;
    // Raw bytes; empty when the value is missing or is not binary.
    QByteArray readBinary(const QString& section, const QString& key) const;

    void writeInt(const QString& section, const QString& key, int value);
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeDouble(const QString& section, const QString& key, double value);
    void writeBinary(const QString& section, const QString& key, const QByteArray& value);

    // Removes the section with every value and sub-section below it.
    void deleteSection(const QString& section);
    // Removes one value.
    void deleteValue(const QString& section, const QString& key);

    // Writes every change to storage. False when the file could not be
    // written whole; the file then stays as it was and every value written
    // since stays in force, to be written by the next sync that succeeds.
    bool sync();

    static QString formatDouble(double value);
    static bool parseDouble(const QString& text, double& value);

private:
    static QString keyPath(const QString& section, const QString& key);
    void reopen();
    std::unique_ptr<QSettings> m_settings;
};
