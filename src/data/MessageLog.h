#pragma once

#include <QString>

#include <vector>

class Profile;

// Which of the three lists a message goes to.
enum MessageKind : int {
    MessageError = 0,
    MessageWarning = 1,
    MessageInfo = 2,
};

// The program-wide log of what the calculations could not do, corrected or
// left unused. It holds no widget: the calculators append to it, the message
// page shows it through the show flags, and the report numbers every line.
// Messages are kept as given, in the order they came, never merged.
class MessageLog
{
public:
    MessageLog() = default;

    // Clears noMessages even when the kind is unknown and nothing is kept.
    void AddMessage(MessageKind kind, const QString& message);
    // Empties the three lists; noMessages becomes true again.
    void ClearMessages();

    // Rebuilds the screen text from the lists and the show flags and returns it.
    const QString& BuildMessageText();
    // Every message as a numbered line, headed by its kind; the show flags
    // play no part. Empty when every list is empty.
    std::vector<QString> CollectReportMessages() const;

    const QString& text() const { return m_text; }
    const std::vector<QString>& errors() const { return m_errors; }
    const std::vector<QString>& warnings() const { return m_warnings; }
    const std::vector<QString>& infos() const { return m_infos; }
    // True when nothing was added since construction or the last clear.
    bool noMessages() const { return m_noMessages; }

    // Show flags: a kind is shown when its flag is greater than 0.
    int showErrors() const { return m_showErrors; }
    int showWarnings() const { return m_showWarnings; }
    int showInfos() const { return m_showInfos; }
    void setShowErrors(int value) { m_showErrors = value; }
    void setShowWarnings(int value) { m_showWarnings = value; }
    void setShowInfos(int value) { m_showInfos = value; }

    // The show flags live at the profile's root as "EnableError",
    // "EnableWarning" and "EnableInfo"; a missing or malformed value reads as 1.
    void LoadFilters(const Profile& profile);
    void SaveFilters(Profile& profile) const;

private:
    QString m_text;
    std::vector<QString> m_errors;
    std::vector<QString> m_warnings;
    std::vector<QString> m_infos;
    bool m_noMessages = true;
    int m_showErrors = 1;
    int m_showWarnings = 1;
    int m_showInfos = 1;
};
