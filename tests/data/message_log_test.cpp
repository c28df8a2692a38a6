#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "data/MessageLog.h"
#include "platform/Profile.h"

namespace {

const QString kErrorsHead = QStringLiteral("Ошибки!\r\n");
const QString kWarningsHead = QStringLiteral("Предупреждения!\r\n");
const QString kInfosHead = QStringLiteral("Информация!\r\n");
const QString kNoMessages = QStringLiteral("Предупреждений и ошибок нет.");

// Two errors, one warning and two infos, added out of kind order.
void fillMixed(MessageLog& log)
{
    log.AddMessage(MessageInfo, QStringLiteral("i1"));
    log.AddMessage(MessageError, QStringLiteral("e1"));
    log.AddMessage(MessageWarning, QStringLiteral("w1"));
    log.AddMessage(MessageError, QStringLiteral("e2"));
    log.AddMessage(MessageInfo, QStringLiteral("i2"));
}

void setFilters(MessageLog& log, int errors, int warnings, int infos)
{
    log.setShowErrors(errors);
    log.setShowWarnings(warnings);
    log.setShowInfos(infos);
}

} // namespace

TEST(MessageLogScreen, numbersOnlyShownMessagesInKindOrderUnderEveryFilterCombination)
{
    const struct {
        int errors, warnings, infos;
        QString expected;
    } cases[] = {
        {1, 1, 1, kErrorsHead + "    1. e1\r\n    2. e2\r\n" + kWarningsHead + "    3. w1\r\n" + kInfosHead
                      + "    4. i1\r\n    5. i2\r\n"},
        {1, 1, 0, kErrorsHead + "    1. e1\r\n    2. e2\r\n" + kWarningsHead + "    3. w1\r\n"},
        {1, 0, 1, kErrorsHead + "    1. e1\r\n    2. e2\r\n" + kInfosHead + "    3. i1\r\n    4. i2\r\n"},
        {1, 0, 0, kErrorsHead + "    1. e1\r\n    2. e2\r\n"},
        {0, 1, 1, kWarningsHead + "    1. w1\r\n" + kInfosHead + "    2. i1\r\n    3. i2\r\n"},
        {0, 1, 0, kWarningsHead + "    1. w1\r\n"},
        {0, 0, 1, kInfosHead + "    1. i1\r\n    2. i2\r\n"},
        {0, 0, 0, QString()},
    };
    MessageLog log;
    fillMixed(log);
    for (const auto& c : cases) {
        setFilters(log, c.errors, c.warnings, c.infos);
        EXPECT_EQ(log.BuildMessageText(), c.expected) << c.errors << c.warnings << c.infos;
        EXPECT_EQ(log.text(), c.expected);
    }
}

TEST(MessageLogScreen, saysThereAreNoMessagesWhateverTheFilters)
{
    MessageLog log;
    for (int mask = 0; mask < 8; ++mask) {
        setFilters(log, mask & 1, (mask >> 1) & 1, (mask >> 2) & 1);
        EXPECT_EQ(log.BuildMessageText(), kNoMessages) << mask;
    }
    fillMixed(log);
    log.ClearMessages();
    EXPECT_EQ(log.BuildMessageText(), kNoMessages);
}

TEST(MessageLogScreen, emptyKindGetsNoHeadingAndFlagsAbove1Show)
{
    MessageLog log;
    log.AddMessage(MessageWarning, QStringLiteral("w"));
    setFilters(log, 1, 2, 1);
    EXPECT_EQ(log.BuildMessageText(), kWarningsHead + "    1. w\r\n");
    setFilters(log, 1, -1, 1);
    EXPECT_EQ(log.BuildMessageText(), QString());
}

TEST(MessageLogScreen, messageTextsAreKeptVerbatimEvenWithFormatSigns)
{
    MessageLog log;
    const QString text = QStringLiteral("X: 5% %s %1 %d");
    log.AddMessage(MessageError, text);
    log.AddMessage(MessageError, text);
    EXPECT_EQ(log.BuildMessageText(), kErrorsHead + "    1. " + text + "\r\n    2. " + text + "\r\n");
    EXPECT_EQ(log.CollectReportMessages(), (std::vector<QString>{"Ошибки!", "1. " + text, "2. " + text}));
}

TEST(MessageLogLists, keepOrderPerKindAndClearingStartsAfresh)
{
    MessageLog log;
    EXPECT_TRUE(log.noMessages());
    fillMixed(log);
    EXPECT_FALSE(log.noMessages());
    EXPECT_EQ(log.errors(), (std::vector<QString>{"e1", "e2"}));
    EXPECT_EQ(log.warnings(), (std::vector<QString>{"w1"}));
    EXPECT_EQ(log.infos(), (std::vector<QString>{"i1", "i2"}));

    log.ClearMessages();
    EXPECT_TRUE(log.noMessages());
    EXPECT_TRUE(log.errors().empty() && log.warnings().empty() && log.infos().empty());
    EXPECT_TRUE(log.CollectReportMessages().empty());

    log.AddMessage(MessageInfo, QStringLiteral("again"));
    EXPECT_EQ(log.BuildMessageText(), kInfosHead + "    1. again\r\n");
}

TEST(MessageLogLists, unknownKindKeepsNothingButEndsTheNoMessagesState)
{
    MessageLog log;
    log.AddMessage(static_cast<MessageKind>(3), QStringLiteral("lost"));
    EXPECT_FALSE(log.noMessages());
    EXPECT_TRUE(log.errors().empty() && log.warnings().empty() && log.infos().empty());
    EXPECT_EQ(log.BuildMessageText(), QString());
}

TEST(MessageLogReport, numbersEveryMessageAcrossKindsWhateverTheFilters)
{
    MessageLog log;
    fillMixed(log);
    const std::vector<QString> expected{"Ошибки!", "1. e1", "2. e2", "Предупреждения!", "3. w1", "Информация!", "4. i1", "5. i2"};
    for (int mask = 0; mask < 8; ++mask) {
        setFilters(log, mask & 1, (mask >> 1) & 1, (mask >> 2) & 1);
        EXPECT_EQ(log.CollectReportMessages(), expected) << mask;
    }

    MessageLog infosOnly;
    infosOnly.AddMessage(MessageInfo, QStringLiteral("i"));
    EXPECT_EQ(infosOnly.CollectReportMessages(), (std::vector<QString>{"Информация!", "1. i"}));
    EXPECT_TRUE(MessageLog().CollectReportMessages().empty());
}

TEST(MessageLogFilters, surviveARoundTripThroughTheProfileRoot)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("tavrin.conf"));
    {
        MessageLog log;
        setFilters(log, 0, 1, 0);
        Profile profile(ini);
        log.SaveFilters(profile);
        ASSERT_TRUE(profile.sync());
    }
    Profile profile(ini);
    EXPECT_EQ(profile.readInt(QString(), QStringLiteral("EnableError"), -5), 0);
    EXPECT_EQ(profile.readInt(QString(), QStringLiteral("EnableWarning"), -5), 1);
    EXPECT_EQ(profile.readInt(QString(), QStringLiteral("EnableInfo"), -5), 0);

    MessageLog log;
    log.LoadFilters(profile);
    EXPECT_EQ(log.showErrors(), 0);
    EXPECT_EQ(log.showWarnings(), 1);
    EXPECT_EQ(log.showInfos(), 0);

    // A value that is not a number, or none at all, shows the kind.
    profile.writeString(QString(), QStringLiteral("EnableError"), QStringLiteral("no"));
    profile.deleteValue(QString(), QStringLiteral("EnableInfo"));
    log.LoadFilters(profile);
    EXPECT_EQ(log.showErrors(), 1);
    EXPECT_EQ(log.showInfos(), 1);
}
