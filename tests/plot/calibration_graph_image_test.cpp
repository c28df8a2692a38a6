#include <gtest/gtest.h>

#include "plot/CalibrationGraphImage.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

namespace {

TemperatureResult Alkanes()
{
    TemperatureResult result;
    for (const auto& [time, temperature] : {std::pair{3.2, 68.7}, {7.6, 125.7}, {13.0, 174.1}, {22.5, 253.6}}) {
        TemperatureRow row;
        row.retentionTime = time;
        row.temperature = temperature;
        result.rows.push_back(row);
    }
    return result;
}

} // namespace

TEST(CalibrationGraphImageTest, writesABlackGraphOnWhiteAsA1000SquarePngWithoutAlpha)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("FormationGasGraph.png"));
    // A file of an earlier report is replaced whole.
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(5000000, 'x')) == 5000000);
    old.close();

    ASSERT_TRUE(CalibrationGraphImage().WriteGraphImage(Alkanes(), path));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(1000, 1000));
    EXPECT_FALSE(image.hasAlphaChannel());
    int black = 0, white = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            black += qGray(p) < 64;
            white += p == qRgb(255, 255, 255);
        }
    // Mostly paper, with lines, lettering and the curve in black.
    EXPECT_GT(white, 200000);
    EXPECT_GT(black, 1000);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"FormationGasGraph.png"});
}

TEST(CalibrationGraphImageTest, aFolderThatIsNotThereGivesFalseAndNoFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(CalibrationGraphImage().WriteGraphImage(Alkanes(), dir.filePath(QStringLiteral("absent/g.png"))));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}
