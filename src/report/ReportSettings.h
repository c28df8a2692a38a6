#pragma once

#include <QString>

class Profile;

// What the operator chooses for the report: the device number and the
// operator's name as typed, and the seven sections. Kept in the profile
// section "ReportSettings" from one run to the next.
struct ReportSettings
{
    static QString SectionName(); // "ReportSettings"
    // The stem of the name proposed when a report is saved.
    static QString FileNameStem(); // "ReportVorn"

    QString deviceNumber;
    QString operatorName;
    bool enableAssayList = true;   // "Список хроматограмм"
    bool enableMixtureList = true; // "Список смесей"
    bool enableGsResult = true;    // "Газ сепарации"
    bool enableGdResult = true;    // "Газ дегазации"
    bool enableDcResult = true;    // "Дегазированный конденсат"
    bool enablePgResult = true;    // "Пластовый газ"
    bool enableSystemMsgs = true;  // "Системные сообщения"
    // The folder of the last saved report; empty before the first save.
    QString saveFolder;

    // A missing or malformed value reads as its default (empty texts, every
    // section on); any non-zero number turns a section on.
    void LoadSettings(const Profile& profile);
    // Writes every value, whatever changed; the caller flushes the profile.
    void SaveSettings(Profile& profile) const;
};
