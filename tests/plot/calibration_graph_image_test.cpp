#include <gtest/gtest.h>

#include "plot/CalibrationGraphImage.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

TEST(CalibrationGraphImageTest, writesA1000SquarePngWithoutAlphaInPlaceOfAnOldFileOrNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TemperatureResult curve;
    for (const auto& [time, temperature] : {std::pair{3.2, 68.7}, {7.6, 125.7}, {13.0, 174.1}}) {
        curve.rows.push_back(TemperatureRow{});
        std::tie(curve.rows.back().retentionTime, curve.rows.back().temperature) = std::tie(time, temperature);
    }
    const QString path = dir.filePath(QStringLiteral("FormationGasGraph.png"));
    // A larger file of an earlier report is replaced whole.
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(5000000, 'x')) == 5000000);
    old.close();

    ASSERT_TRUE(CalibrationGraphImage().WriteGraphImage(curve, path));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    EXPECT_EQ(image.size(), QSize(1000, 1000)) << reader.errorString().toStdString();
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixel(999, 0), qRgb(255, 255, 255));

    EXPECT_FALSE(CalibrationGraphImage().WriteGraphImage(curve, dir.filePath(QStringLiteral("absent/g.png"))));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"FormationGasGraph.png"});
}
