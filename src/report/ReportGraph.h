#pragma once

#include "calc/CondensateRow.h"
#include "platform/SaveFile.h"
#include "report/XMLWrapper.h"

#include <QString>

#include <memory>

// The calibration graph of the condensate temperature scale as the report
// shows it: a PNG image beside the report, named in the document as `graph`.
// The engine has no painter; the program hands one in.

// Paints the graph into an image file.
class ReportGraphImage
{
public:
    virtual ~ReportGraphImage() = default;
    // The curve drawn into a 1000 by 1000 image and written as a PNG file at
    // the path, a fresh one; false, with error (when given) saying why, when
    // no complete file was written.
    virtual bool WriteGraphImage(const TemperatureResult& curve, const QString& path,
                                 QString* error = nullptr) const = 0;
};

// The user's temporary folder, where a viewed report and its graph go. Qt
// gives none for a TMPDIR that names nothing that exists (a missing folder, a
// link to nowhere), where a bare name would put the files in the working
// folder: the TMPDIR as given then, which names the folder in a message and
// makes every file there fail to be made.
QString ReportTemporaryFolder();

// The image's file name in its folder.
inline constexpr char kReportGraphFileName[] = "FormationGasGraph.png";

// The length of a saved report's ending, ".html" or ".htm" in any letter
// case; 0 when the name has none.
qsizetype SavedReportEnding(const QString& name);
// The name a report is saved under: as given when it has that ending, else
// with ".html" added. A well's name such as "ПГ скв. 1205" holds a dot
// that is no ending.
QString SavedReportPath(const QString& path);

// Where the image of one report goes. Nothing is made until the image is
// written, so a report without a curve leaves no file or folder. Beside a
// saved report the image is written under a temporary name and replaces the
// old one only by Install, so that it changes together with the page.
class ReportGraphPlace
{
public:
    // A fresh folder "zqv….tmp.cat" in the temporary folder, which the
    // viewed report keeps.
    ReportGraphPlace() = default;
    // The folder "<name>_files" beside the saved report "<name>.html" (or
    // ".htm"), so the graph stays with the report. When another page beside
    // it shows the graph of that folder ("<name>.htm" beside "<name>.html"),
    // the folder is named from the whole page name, "<name>.html_files";
    // when that one is shown by another page too, no graph is written and
    // none is taken away.
    explicit ReportGraphPlace(const QString& htmlPath);

    // Makes the folder when it is missing and has the image written into it.
    // False, with nothing left on disk and Error() saying why, when no folder
    // can be made or the image is not written.
    bool WriteImage(const ReportGraphImage& image, const TemperatureResult& curve);
    // Why the image was not written; empty when it was or none was asked for.
    const QString& Error() const { return m_error; }
    // Beside a saved report: the written image takes the place of the old
    // one, or with no image written the old one is taken away; either way
    // the old image is kept aside until Commit, so that Discard can bring it
    // back. True with nothing to do for the temporary folder.
    bool Install(QString* error = nullptr);
    // Keeps what Install did and drops the old image; beside a saved report
    // that has no image, its folder goes too when that is then empty.
    // Discard does nothing after it.
    void Commit();
    // Removes what WriteImage made (a new image, a new folder) and brings
    // back an image that Install replaced.
    void Discard();
    // The image's address in the document: beside a saved report, relative
    // to it ("<name>_files/FormationGasGraph.png", encoded), so the pair can
    // be moved together; otherwise an encoded file URL.
    QString ImageAddress() const;

private:
    QString m_folder;  // beside a saved report; empty for the temporary folder
    QString m_taken;   // why no folder beside the saved report is its own
    QString m_image;
    QString m_madeFolder;
    QString m_error;
    std::unique_ptr<StagedFile> m_staged;  // the saved report's new image, or its old one taken away
};

// The image's address in the document: an encoded file URL.
QString ReportGraphAddress(const QString& imagePath);

// `graph` holding `path` under the root, when the curve has points and its
// image was written at the place; otherwise nothing, and nothing is left on
// disk. Why an image failed stays in the place.
void WriteDcGraph(XMLWrapper& doc, const TemperatureResult& curve, const ReportGraphImage* image,
                  ReportGraphPlace& place);
