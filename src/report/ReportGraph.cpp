#include "report/ReportGraph.h"

#include "calc/CalcData.h"
#include "report/ReportDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

namespace {

// The platform's unique name "zqv….tmp" with ".cat" added. The name is held
// as a file while the folder is made, and mkdir refuses a name that exists,
// so no other report, or anything planted there, is taken over.
QString CreateTemporaryGraphFolder()
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        QTemporaryFile reservation(QDir(QDir::tempPath()).filePath(QStringLiteral("zqvXXXXXX.tmp")));
        if (!reservation.open())
            return QString();
        const QString folder = reservation.fileName() + QStringLiteral(".cat");
        if (QDir().mkdir(folder))
            return folder;
    }
    return QString();
}

} // namespace

ReportGraphPlace::ReportGraphPlace(const QString& htmlPath)
{
    const QFileInfo html(htmlPath);
    m_folder = QDir(html.absolutePath()).filePath(html.completeBaseName() + QStringLiteral("_files"));
}

QString ReportGraphPlace::PrepareImagePath()
{
    QString folder = m_folder;
    if (folder.isEmpty()) {
        folder = CreateTemporaryGraphFolder();
        if (folder.isEmpty())
            return QString();
        m_madeFolder = folder;
    } else if (!QFileInfo(folder).isDir()) {
        if (!QDir().mkdir(folder))
            return QString();
        m_madeFolder = folder;
    }
    m_image = QDir(folder).filePath(QString::fromLatin1(kReportGraphFileName));
    m_imageExisted = QFileInfo::exists(m_image);
    return m_image;
}

void ReportGraphPlace::Discard()
{
    if (!m_image.isEmpty() && !m_imageExisted)
        QFile::remove(m_image);
    // rmdir leaves a folder that holds anything else.
    if (!m_madeFolder.isEmpty())
        QDir().rmdir(m_madeFolder);
    m_image.clear();
    m_madeFolder.clear();
}

QString ReportGraphPlace::ImageAddress() const
{
    if (m_folder.isEmpty())
        return ReportGraphAddress(m_image);
    // Every character but the unreserved ones encoded: a ':' in the first
    // segment would otherwise read as a scheme, a '#' or '?' end the path.
    return QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(m_folder).fileName()) + '/'
                               + QUrl::toPercentEncoding(QString::fromLatin1(kReportGraphFileName)));
}

QString ReportGraphAddress(const QString& imagePath)
{
    return QUrl::fromLocalFile(QFileInfo(imagePath).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

void WriteDcGraph(XMLWrapper& doc, const TemperatureResult& curve, const ReportGraphImage* image,
                  ReportGraphPlace& place)
{
    if (!image || curve.rows.empty())
        return;
    const QString path = place.PrepareImagePath();
    if (path.isEmpty())
        return;
    if (!image->WriteGraphImage(curve, path)) {
        place.Discard();
        return;
    }
    xmlNodePtr graph = doc.AddElement(nullptr, "graph");
    doc.AddText(graph, "path", place.ImageAddress());
}

void ReportDocument::AddDcGraph(XMLWrapper& doc)
{
    if (!sources().calcData)
        return;
    ReportGraphPlace temporary;
    ReportGraphPlace& place = sources().graphPlace ? *sources().graphPlace : temporary;
    WriteDcGraph(doc, sources().calcData->GetCalibrationCurve(), sources().graphImage, place);
}
