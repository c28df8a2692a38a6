#include "plot/CalibrationGraphImage.h"

#include "platform/SaveFile.h"
#include "plot/CalibrationGraph.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

bool CalibrationGraphImage::WriteGraphImage(const TemperatureResult& curve, const QString& path,
                                            QString* error) const
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QImage image(kSide, kSide, QImage::Format_RGB32);
    if (image.isNull())
        return fail(QStringLiteral("недостаточно памяти"));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        if (!painter.isActive())
            return fail(QStringLiteral("изображение не рисуется"));
        DrawCalibrationGraph(&painter, LoadCalibrationCurve(curve));
    }
    // Encoded in memory first, so that a failed write says why in the
    // system's words rather than the encoder's.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return fail(writer.errorString());
    return WriteFileInPlace(path, png, error);
}
