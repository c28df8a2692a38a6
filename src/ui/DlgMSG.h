#pragma once

#include <QWidget>

class MessageLog;
class Profile;
class QCheckBox;
class QPlainTextEdit;

// The page "Системные сообщения" of the main window's result tabs: the log's text
// under three boxes that choose which kinds are shown. The page only shows
// the log it is given; the log outlives it.
class CDlgMSG : public QWidget
{
    Q_OBJECT
public:
    // The page is made before the first calculation: it empties the log,
    // takes the show flags from the profile and shows the result.
    CDlgMSG(MessageLog& log, const Profile& profile, QWidget* parent = nullptr);

    // Rebuilds the log's text and puts it and the show flags into the controls.
    void BuildMessageText();

private:
    // A box was clicked: its state becomes the show flag, then the text follows.
    void OnBnClickedFilter();

    MessageLog& m_log;
    QCheckBox* m_checkErrors = nullptr;
    QCheckBox* m_checkWarnings = nullptr;
    QCheckBox* m_checkInfos = nullptr;
    QPlainTextEdit* m_editText = nullptr;
};
