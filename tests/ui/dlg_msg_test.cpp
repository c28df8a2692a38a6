#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>

#include "data/MessageLog.h"
#include "platform/Profile.h"
#include "support/ProfileDir.h"
#include "ui/DlgMSG.h"

namespace {

class CDlgMSGTest : public testsupport::ProfileDirTest
{
protected:
    Profile profile{iniPath()};
    MessageLog log;

    static QCheckBox* box(const CDlgMSG& page, const char* name)
    {
        return page.findChild<QCheckBox*>(QString::fromLatin1(name));
    }
    static QString shown(const CDlgMSG& page)
    {
        return page.findChild<QPlainTextEdit*>(QStringLiteral("editText"))->toPlainText();
    }
};

} // namespace

TEST_F(CDlgMSGTest, opensWithAnEmptyLogAndTheStoredFilters)
{
    profile.writeInt(QString(), QStringLiteral("EnableWarning"), 0);
    log.AddMessage(MessageError, QStringLiteral("left from before"));
    CDlgMSG page(log, profile);

    EXPECT_TRUE(log.noMessages());
    EXPECT_TRUE(log.errors().empty());
    EXPECT_EQ(shown(page), QStringLiteral("Предупреждений и ошибок нет."));
    EXPECT_TRUE(box(page, "checkErrors")->isChecked());
    EXPECT_FALSE(box(page, "checkWarnings")->isChecked());
    EXPECT_TRUE(box(page, "checkInfos")->isChecked());
    EXPECT_EQ(box(page, "checkErrors")->text(), QStringLiteral("Ошибки"));
    EXPECT_EQ(box(page, "checkWarnings")->text(), QStringLiteral("Предупреждения"));
    EXPECT_EQ(box(page, "checkInfos")->text(), QStringLiteral("Информация"));
    EXPECT_TRUE(page.findChild<QPlainTextEdit*>(QStringLiteral("editText"))->isReadOnly());
}

TEST_F(CDlgMSGTest, clickingABoxStoresItsStateAndRebuildsTheText)
{
    CDlgMSG page(log, profile);
    page.resize(450, 160);
    page.show();
    log.AddMessage(MessageError, QStringLiteral("e1"));
    log.AddMessage(MessageWarning, QStringLiteral("w1"));
    log.AddMessage(MessageInfo, QStringLiteral("i1"));
    page.BuildMessageText();
    EXPECT_EQ(shown(page), QStringLiteral("Ошибки!\n    1. e1\nПредупреждения!\n    2. w1\nИнформация!\n    3. i1\n"));

    QCheckBox* errors = box(page, "checkErrors");
    QTest::mouseClick(errors, Qt::LeftButton, {}, errors->rect().center());
    EXPECT_FALSE(errors->isChecked());
    EXPECT_EQ(log.showErrors(), 0);
    EXPECT_EQ(shown(page), QStringLiteral("Предупреждения!\n    1. w1\nИнформация!\n    2. i1\n"));

    QCheckBox* infos = box(page, "checkInfos");
    QTest::mouseClick(infos, Qt::LeftButton, {}, infos->rect().center());
    EXPECT_EQ(log.showInfos(), 0);
    EXPECT_EQ(shown(page), QStringLiteral("Предупреждения!\n    1. w1\n"));

    QTest::mouseClick(errors, Qt::LeftButton, {}, errors->rect().center());
    EXPECT_EQ(log.showErrors(), 1);
    EXPECT_EQ(shown(page), QStringLiteral("Ошибки!\n    1. e1\nПредупреждения!\n    2. w1\n"));
}

TEST_F(CDlgMSGTest, rebuildAfterARunWithoutMessagesIgnoresClearedBoxes)
{
    CDlgMSG page(log, profile);
    for (const char* name : {"checkErrors", "checkWarnings", "checkInfos"})
        box(page, name)->click();
    log.AddMessage(MessageError, QStringLiteral("e1"));
    page.BuildMessageText();
    EXPECT_EQ(shown(page), QString());

    log.ClearMessages();
    page.BuildMessageText();
    EXPECT_EQ(shown(page), QStringLiteral("Предупреждений и ошибок нет."));
    EXPECT_FALSE(box(page, "checkErrors")->isChecked());
}
