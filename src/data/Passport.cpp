#include "data/Passport.h"

#include "platform/Archive.h"
#include "platform/CompoundFile.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <QTime>

namespace {

constexpr std::uint32_t kPassportSignature = 0xE04561CCu;
constexpr std::int32_t kLastPassportVersion = 3;
constexpr qsizetype kCommentShown = 255;

// The display text, with printf-style conversions filled in order by FormatDescription.
const char16_t kDescriptionTemplate[] =
    u"ПРОБА: \t%s\r\n"
    u"Объём: %g        Разведение: %g        Норма: %g\r\n"
    u"Дата / Время: %s         Точка отбора:  %s\r\n"
    u"\r\n"
    u"АНАЛИЗ\r\n"
    u"Оператор: %s        Метод: %s\r\n"
    u"Продолжительность: %g мин        Номер в серии: %d\r\n"
    u"Дата / Время анализа: %s\r\n"
    u"Элюент: %s        Реагент: %s\r\n"
    u"\r\n"
    u"КОММЕНТАРИЙ: %.255s";

QString formatNumber(double v) { return QString::asprintf("%g", v); }

QString formatTime(std::int64_t secondsSinceEpoch, const QString& pattern)
{
    // A time outside what QDateTime can hold gives an empty text, not a failure.
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime).toString(pattern);
}

// Replaces each conversion of the template ("%s", "%g", "%d", "%.255s") by the
// next of the ready-made texts.
QString fillTemplate(const QString& pattern, const QStringList& values)
{
    QString out;
    out.reserve(pattern.size() + 256);
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != u'%') {
            out += c;
            continue;
        }
        qsizetype end = i + 1;
        while (end < pattern.size() && !pattern.at(end).isLetter())
            ++end;
        out += values.value(next++);
        i = end;
    }
    return out;
}

} // namespace

CPassport::CPassport()
    : samplingTime(QDateTime(QDate::currentDate(), QTime(0, 0)).toSecsSinceEpoch()),
      analysisTime(QDateTime::currentSecsSinceEpoch())
{
}

void CPassport::Serialize(const QByteArray& stream)
{
    ArchiveReader ar(stream);
    const std::uint32_t signature = ar.readU32();
    const std::int32_t version = ar.readI32();
    if (signature != kPassportSignature || version > kLastPassportVersion)
        throw ArchiveException(ArchiveException::Cause::BadIndex, "not a passport of a known version");

    // Read into a copy so that a stream cut short leaves this passport whole.
    CPassport p(*this);
    p.sample = ar.readString();
    p.text2 = ar.readString();
    p.volume = ar.readDouble();
    p.dilution = ar.readDouble();
    p.norm = ar.readDouble();
    p.samplingTime = ar.readTime();
    p.samplingSpot = ar.readString();
    p.method = ar.readString();
    p.duration = ar.readDouble();
    p.number10 = ar.readU32();
    p.numberInSeries = ar.readU32();
    p.calibrationFlag = ar.readU32();
    p.operatorName = ar.readString();
    p.text14 = ar.readString();
    p.text15 = ar.readString();
    p.number16 = ar.readU32();
    p.value17 = ar.readDouble();
    p.value18 = ar.readDouble();
    p.value19 = ar.readDouble();
    p.value20 = ar.readDouble();
    p.eluent = ar.readString();
    p.value22 = ar.readDouble();
    p.value23 = ar.readDouble();
    p.value24 = ar.readDouble();
    p.reagent = ar.readString();
    p.value26 = ar.readDouble();
    p.value27 = ar.readDouble();
    p.value28 = ar.readDouble();
    p.analysisTime = ar.readTime();
    p.number30 = ar.readU32();
    p.text31 = ar.readString();
    p.comment = ar.readString();
    if (version >= 2)
        p.samplingPoint = ar.readString();
    if (version >= 3) {
        p.value34 = ar.readDouble();
        p.value35 = ar.readDouble();
    }
    *this = std::move(p);
}

QString CPassport::FormatDescription() const
{
    QString shownComment = comment.left(kCommentShown);
    // Never leave half of a surrogate pair at the cut.
    if (shownComment.size() == kCommentShown && shownComment.back().isHighSurrogate())
        shownComment.chop(1);

    const QStringList values = {
        sample,
        formatNumber(volume),
        formatNumber(dilution),
        formatNumber(norm),
        formatTime(samplingTime, QStringLiteral("dd.MM.yy   HH:mm")),
        samplingSpot,
        operatorName,
        method,
        formatNumber(duration),
        QString::number(static_cast<std::int32_t>(numberInSeries)),
        formatTime(analysisTime, QStringLiteral("dd.MM.yy   HH:mm:ss")),
        eluent,
        reagent,
        shownComment,
    };
    return fillTemplate(QString::fromUtf16(kDescriptionTemplate), values);
}

bool CPassport::ReadPassportOnly(const QString& path) { return ::ReadPassportOnly(*this, path); }

namespace {

bool readPassportFrom(CompoundFile& file, CPassport& passport, const QString& path)
{
    try {
        QByteArray stream;
        if (!file.readStream(QStringLiteral("Passport"), stream))
            return false;
        passport.Serialize(stream);
        passport.filePath = path;
        return true;
    } catch (...) {
        // A damaged passport, or one too large to hold, is a passport that cannot be read.
        return false;
    }
}

} // namespace

bool ReadPassportOnly(CPassport& passport, const QString& path)
{
    CompoundFile file;
    if (!file.open(path))
        return false;
    return readPassportFrom(file, passport, path);
}

bool ReadPassportOnlyFromBytes(CPassport& passport, const QByteArray& fileBytes, const QString& path)
{
    CompoundFile file;
    if (!file.openBytes(fileBytes))
        return false;
    return readPassportFrom(file, passport, path);
}
