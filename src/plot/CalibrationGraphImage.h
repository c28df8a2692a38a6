#pragma once

#include "report/ReportGraph.h"

// The report's graph image drawn by the plot: the calibration curve in black
// on white, 1000 by 1000 pixels, 32 bits without alpha, written as PNG.
// Needs a GUI application for its fonts.
class CalibrationGraphImage final : public ReportGraphImage
{
public:
    static constexpr int kSide = 1000;

    bool WriteGraphImage(const TemperatureResult& curve, const QString& path,
                         QString* error = nullptr) const override;
};
