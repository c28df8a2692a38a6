#pragma once

#include "data/Lattice.h"
#include "data/Passport.h"
#include "data/PeeksTable.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QString>

class CompoundFile;

// A chromatogram read from one "*.stg" file: the signal ("Raw_data", "Time"),
// the peak table measured on that signal ("Table") and the passport ("Passport").
class CChmFile
{
public:
    CChmFile();
    virtual ~CChmFile();
    CChmFile(const CChmFile&) = delete;
    CChmFile& operator=(const CChmFile&) = delete;

    // 1 when the file was read whole, 0 otherwise, with errorString(); nothing
    // is thrown and the object is left as it was on failure. Only a regular
    // file (or a link to one) is opened: a pipe or a device can wait for ever.
    // identity, when given, gets the identity of the file read, asked of the
    // open file, so a file put in its place at once is not taken for it.
    int Open(const QString& path, FileIdentity* identity = nullptr);
    // The same over the bytes of a whole file (tests, fuzzing); the passport
    // keeps the path given.
    int OpenBytes(const QByteArray& fileBytes, const QString& path = QString());
    // The same over the four streams' bytes, in the order the file is read.
    int LoadStreams(const QByteArray& rawData, const QByteArray& time, const QByteArray& table,
                    const QByteArray& passport, const QString& path);

    const CLattice& signal() const { return m_signal; }
    const CPeeksTable& peakTable() const { return m_peakTable; }
    const CPassport& passport() const { return m_passport; }
    // Why the last open or load failed, in the operator's words; empty after a success.
    const QString& errorString() const { return m_error; }
    // t2 - t1 of the "Time" stream (1.0 when it is short); kept, not used.
    double secondStep() const { return m_secondStep; }

private:
    int OpenFrom(CompoundFile& file, const QString& path);
    // 0, with the reason kept.
    int Fail(const QString& reason);
    // Time, table and passport over a signal whose samples are already read.
    int LoadAfterSamples(CLattice&& signal, const QByteArray& time, const QByteArray& table,
                         const QByteArray& passport, const QString& path);

    CLattice m_signal;
    double m_secondStep = 1.0;
    CPassport m_passport;
    CPeeksTable m_peakTable;
    QString m_error;
};

// The chromatogram object the main window opens a file into.
class COpenedChmFile : public CChmFile
{
public:
    COpenedChmFile() = default;
    ~COpenedChmFile() override = default;
};
