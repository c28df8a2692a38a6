#include "report/ReportGraph.h"

#include "calc/CalcData.h"
#include "report/ReportDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

// The platform's unique name "zqv….tmp" with ".cat" added. The name is held
// as a file while the folder is made, and mkdir refuses a name that exists,
// so no other report, or anything planted there, is taken over. Empty, with
// the system's reason in why, when no folder is made.
QString CreateTemporaryGraphFolder(QString& why)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        QTemporaryFile reservation(QDir(ReportTemporaryFolder()).filePath(QStringLiteral("zqvXXXXXX.tmp")));
        if (!reservation.open()) {
            why = reservation.errorString();
            return QString();
        }
        const QString folder = reservation.fileName() + QStringLiteral(".cat");
        std::error_code ec;
        if (std::filesystem::create_directory(std::filesystem::path(folder.toStdU16String()), ec))
            return folder;
        why = qt_error_string(ec ? ec.value() : EEXIST);
        // Only a name taken meanwhile is worth another try.
        if (ec && ec != std::errc::file_exists)
            return QString();
    }
    return QString();
}

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseSensitive;
#endif

// The image's address relative to a saved report, in the folder beside it.
// Every character but the unreserved ones encoded: a ':' in the first
// segment would otherwise read as a scheme, a '#' or '?' end the path.
QString AddressBeside(const QString& folder)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(folder).fileName()) + '/'
                               + QUrl::toPercentEncoding(QString::fromLatin1(kReportGraphFileName)));
}

// Whether the file holds the bytes. Read in pieces: a file named like a page
// may be anything of any size; one that cannot be read is taken to hold them.
// A pipe, socket or device is no page, and opening a pipe would wait for a writer.
bool FileHolds(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QByteArray window;
    for (;;) {
        const QByteArray piece = file.read(1 << 16);
        if (piece.isEmpty())
            return file.error() != QFileDevice::NoError;
        window = window.right(bytes.size() - 1) + piece;
        if (window.contains(bytes))
            return true;
    }
}

// Whether a page beside the saved one, not itself, shows the graph in the
// folder. Only a page whose name less everything from its last dot is the
// folder's less "_files" can, as that is how a save names its folder (and
// how an earlier build named it for a name such as "ПГ скв. 1205", kept
// without ".html"), or one with ".html" or ".htm" named as the whole.
bool ShownByAnotherPage(const QFileInfo& page, const QString& folder)
{
    const QString stem = QFileInfo(folder).fileName().chopped(6);
    const QByteArray address = AddressBeside(folder).toLatin1();
    const QFileInfoList beside = QDir(page.absolutePath()).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& other : beside) {
        const QString name = other.fileName();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (((dot < 0 || name.left(dot) != stem) && (name != stem || SavedReportEnding(name) == 0))
            || name.compare(page.fileName(), kFileNameCase) == 0)
            continue;
        if (FileHolds(other.absoluteFilePath(), address))
            return true;
    }
    return false;
}

} // namespace

qsizetype SavedReportEnding(const QString& name)
{
    for (const QLatin1StringView ending : {QLatin1StringView(".html"), QLatin1StringView(".htm")})
        if (name.endsWith(ending, Qt::CaseInsensitive))
            return ending.size();
    return 0;
}

QString SavedReportPath(const QString& path)
{
    return SavedReportEnding(path) > 0 ? path : path + QStringLiteral(".html");
}

QString ReportTemporaryFolder()
{
    const QString folder = QDir::tempPath();
    if (!folder.isEmpty())
        return folder;
    const QString given = qEnvironmentVariable("TMPDIR");
    return given.isEmpty() ? QStringLiteral("/tmp") : given;
}

ReportGraphPlace::ReportGraphPlace(const QString& htmlPath)
{
    const QFileInfo html(htmlPath);
    const QString name = html.fileName();
    const QDir dir(html.absolutePath());
    // Two pages whose names differ only in their endings would share one folder.
    const QString folders[] = {dir.filePath(name.chopped(SavedReportEnding(name)) + QStringLiteral("_files")),
                               dir.filePath(name + QStringLiteral("_files"))};
    for (const QString& folder : folders) {
        m_folder = folder;
        if (!ShownByAnotherPage(html, folder))
            return;
    }
    m_taken = QStringLiteral("папки графика %1 и %2 заняты графиками других отчётов")
                  .arg(QDir::toNativeSeparators(folders[0]), QDir::toNativeSeparators(folders[1]));
}

bool ReportGraphPlace::WriteImage(const ReportGraphImage& image, const TemperatureResult& curve)
{
    m_error = m_taken;
    if (!m_error.isEmpty())
        return false;
    QString folder = m_folder;
    if (folder.isEmpty()) {
        QString why;
        folder = CreateTemporaryGraphFolder(why);
        if (folder.isEmpty()) {
            m_error = QStringLiteral("папка для графика не создаётся в %1: %2")
                          .arg(QDir::toNativeSeparators(ReportTemporaryFolder()), why);
            return false;
        }
        m_madeFolder = folder;
    } else if (!QFileInfo(folder).isDir()) {
        const QString name = QDir::toNativeSeparators(folder);
        if (QFileInfo(folder).exists()) {
            m_error = QStringLiteral("папка графика %1 не создаётся: на её месте файл").arg(name);
            return false;
        }
        if (QFileInfo(folder).isSymLink()) {
            m_error = QStringLiteral("папка графика %1 не создаётся: на её месте ссылка, которая никуда не ведёт")
                          .arg(name);
            return false;
        }
        std::error_code ec;
        if (!std::filesystem::create_directory(std::filesystem::path(folder.toStdU16String()), ec)) {
            m_error = QStringLiteral("папка графика %1 не создаётся: %2").arg(name, qt_error_string(ec.value()));
            return false;
        }
        m_madeFolder = folder;
    }
    m_image = QDir(folder).filePath(QString::fromLatin1(kReportGraphFileName));
    QString path = m_image;
    if (!m_folder.isEmpty()) {
        m_staged = std::make_unique<StagedFile>(m_image);
        QString why;
        path = m_staged->Create(&why);
        if (path.isEmpty()) {
            m_error =
                QStringLiteral("в папке графика %1 не создаётся файл: %2").arg(QDir::toNativeSeparators(folder), why);
            Discard();
            return false;
        }
    }
    QString why;
    if (!image.WriteGraphImage(curve, path, &why)) {
        m_error = QStringLiteral("изображение графика %1 не записано: %2")
                      .arg(QDir::toNativeSeparators(m_image), why.isEmpty() ? QStringLiteral("причина не указана") : why);
        Discard();
        return false;
    }
    return true;
}

bool ReportGraphPlace::Install(QString* error)
{
    QString why;
    if (m_staged) {
        if (m_staged->Install(&why))
            return true;
        if (error)
            *error = QStringLiteral("изображение графика %1 не ставится на место: %2")
                         .arg(QDir::toNativeSeparators(m_image), why);
        return false;
    }
    if (m_folder.isEmpty() || !m_taken.isEmpty())
        return true;
    // A report without a graph must not show another run's beside it. The
    // old graph goes before the page comes, so that a refusal still fails
    // the save and leaves the old report whole.
    const QString old = QDir(m_folder).filePath(QString::fromLatin1(kReportGraphFileName));
    m_staged = std::make_unique<StagedFile>(old);
    if (m_staged->TakeAway(&why))
        return true;
    m_staged.reset();
    if (error)
        *error = QStringLiteral("прежнее изображение графика %1 не убирается: %2").arg(QDir::toNativeSeparators(old), why);
    return false;
}

void ReportGraphPlace::Commit()
{
    if (m_staged)
        m_staged->Commit();
    // Whatever else the folder of a report without a graph holds stays, and
    // so does the folder then.
    if (!m_folder.isEmpty() && m_taken.isEmpty() && m_image.isEmpty())
        QDir().rmdir(m_folder);
    // What is committed is the report's own: nothing of it is discarded later.
    m_staged.reset();
    m_image.clear();
    m_madeFolder.clear();
}

void ReportGraphPlace::Discard()
{
    if (m_staged)
        m_staged->Rollback();
    else if (!m_image.isEmpty())
        QFile::remove(m_image);  // the temporary folder is always fresh
    m_staged.reset();
    // rmdir leaves a folder that holds anything else.
    if (!m_madeFolder.isEmpty())
        QDir().rmdir(m_madeFolder);
    m_image.clear();
    m_madeFolder.clear();
}

QString ReportGraphPlace::ImageAddress() const
{
    return m_folder.isEmpty() ? ReportGraphAddress(m_image) : AddressBeside(m_folder);
}

QString ReportGraphAddress(const QString& imagePath)
{
    return QUrl::fromLocalFile(QFileInfo(imagePath).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

void WriteDcGraph(XMLWrapper& doc, const TemperatureResult& curve, const ReportGraphImage* image,
                  ReportGraphPlace& place)
{
    if (!image || curve.rows.empty() || !place.WriteImage(*image, curve))
        return;
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
