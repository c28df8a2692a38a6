#pragma once

#include "calc/CondensateRow.h"
#include "report/XMLWrapper.h"

#include <QString>

// The calibration graph of the condensate temperature scale as the report
// shows it: a PNG image beside the report, named in the document as `graph`.
// The engine has no painter; the program hands one in.

// Paints the graph into an image file.
class ReportGraphImage
{
public:
    virtual ~ReportGraphImage() = default;
    // The curve drawn into a 1000 by 1000 image and written as a PNG file at
    // the path; false when no complete file was written.
    virtual bool WriteGraphImage(const TemperatureResult& curve, const QString& path) const = 0;
};

// The image's file name in its folder.
inline constexpr char kReportGraphFileName[] = "FormationGasGraph.png";

// Where the image of one report goes. Nothing is made until the image is
// written, so a report without a curve leaves no file or folder.
class ReportGraphPlace
{
public:
    // A fresh folder "zqv….tmp.cat" in the temporary folder, which the
    // viewed report keeps.
    ReportGraphPlace() = default;
    // The folder "<name>_files" beside the saved report "<name>.html", so the
    // graph stays with the report.
    explicit ReportGraphPlace(const QString& htmlPath);

    // Makes the folder when it is missing and returns the image's path in
    // it; empty when no folder can be made.
    QString PrepareImagePath();
    // Removes what PrepareImagePath made: a new image and a new folder.
    void Discard();
    // The prepared image's address in the document: beside a saved report,
    // relative to it ("<name>_files/FormationGasGraph.png", encoded), so the
    // pair can be moved together; otherwise an encoded file URL.
    QString ImageAddress() const;

private:
    QString m_folder;  // beside a saved report; empty for the temporary folder
    QString m_image;
    QString m_madeFolder;
    bool m_imageExisted = false;
};

// The image's address in the document: an encoded file URL.
QString ReportGraphAddress(const QString& imagePath);

// `graph` holding `path` under the root, when the curve has points and its
// image was written at the place; otherwise nothing, and nothing is left on
// disk.
void WriteDcGraph(XMLWrapper& doc, const TemperatureResult& curve, const ReportGraphImage* image,
                  ReportGraphPlace& place);
