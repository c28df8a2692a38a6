#include "plot/CalibrationGraphImage.h"

#include "plot/CalibrationGraph.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

bool CalibrationGraphImage::WriteGraphImage(const TemperatureResult& curve, const QString& path) const
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    if (image.isNull())
        return false;
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        if (!painter.isActive())
            return false;
        DrawCalibrationGraph(&painter, LoadCalibrationCurve(curve));
    }
    // Written whole or not at all, so an image left from an earlier report
    // is never half replaced.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
