#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSettings;

// Whose settings a profile opened by name reads: the current user's, or the
// machine's (read-only for ordinary users).
enum class ProfileScope { User, System };

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
    // The settings of another application of the user or of the machine, as
    // that application keeps them; values of the other scope never show through.
    Profile(ProfileScope scope, const QString& organisation, const QString& application);
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
    // The value as text when it is one; false, leaving text alone, when it is
    // missing or of another kind (binary, a stored structure).
    bool readText(const QString& section, const QString& key, QString& text) const;
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
    // Why the last sync failed, as the system words it; empty when it
    // succeeded or no reason could be found.
    const QString& writeError() const { return m_writeError; }
    // The file the profile is kept in.
    QString fileName() const;

    static QString formatDouble(double value);
    static bool parseDouble(const QString& text, double& value);

private:
    static QString keyPath(const QString& section, const QString& key);
    void reopen();
    std::unique_ptr<QSettings> m_settings;
    QString m_writeError;
};

// Sets result to the text value of that name in the profile's root, up to its
// first zero character, or to defaultText when the value is missing, is not
// text, or is empty. Never fails.
void RegQueryString(QString& result, const Profile& key, const QString& valueName,
                    const QString& defaultText = QString());
