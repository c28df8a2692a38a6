#include "ui/DesktopOpen.h"

#include <QDesktopServices>
#include <QMetaObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace {

// How long a failure waits for others to share its box.
constexpr int kFailureBoxDelayMs = 1000;

// The hand-overs of one command and the box their failures wait for.
class HandOverBatch : public QObject
{
public:
    HandOverBatch(const QStringList& paths, QObject* owner, QString what, QString whatPlural,
                  std::function<void(const QString&)> tell)
        : QObject(owner)
        , m_what(std::move(what))
        , m_whatPlural(std::move(whatPlural))
        , m_tell(std::move(tell))
        , m_pending(paths.size())
    {
        for (const QString& path : paths)
            m_handOvers.push_back({DesktopOpenResult::Opened, path});
        m_told.assign(m_handOvers.size(), false);
        m_box.setSingleShot(true);
        m_box.setInterval(kFailureBoxDelayMs);
        connect(&m_box, &QTimer::timeout, this, &HandOverBatch::Tell);
    }

    void Ended(std::size_t i, DesktopOpenResult result)
    {
        m_handOvers[i].result = result;
        --m_pending;
        // A later failure joins the box to come rather than putting it off.
        if (result != DesktopOpenResult::Opened && !m_box.isActive() && !m_telling)
            m_box.start();
        EndWhenDone();
    }

private:
    void Tell()
    {
        std::vector<DesktopHandOver> failed;
        for (std::size_t i = 0; i < m_handOvers.size(); ++i) {
            if (m_handOvers[i].result != DesktopOpenResult::Opened && !m_told[i]) {
                failed.push_back(m_handOvers[i]);
                m_told[i] = true;
            }
        }
        // A box is modal: failures that come while it shows wait for the next,
        // not opened from inside it.
        const QPointer<HandOverBatch> self(this);
        m_telling = true;
        m_tell(DesktopOpenFailureText(failed, m_what, m_whatPlural));
        if (!self)
            return;
        m_telling = false;
        for (std::size_t i = 0; i < m_handOvers.size() && !m_box.isActive(); ++i)
            if (m_handOvers[i].result != DesktopOpenResult::Opened && !m_told[i])
                m_box.start();
        EndWhenDone();
    }

    void EndWhenDone()
    {
        if (m_pending == 0 && !m_box.isActive() && !m_telling)
            deleteLater();
    }

    QString m_what;
    QString m_whatPlural;
    std::function<void(const QString&)> m_tell;
    std::vector<DesktopHandOver> m_handOvers;
    std::vector<bool> m_told;
    qsizetype m_pending = 0;
    bool m_telling = false;
    QTimer m_box;
};

} // namespace

void OpenWithDesktop(const QString& path, QObject* context, const std::function<bool(const QString&)>& hook,
                     std::function<void(DesktopOpenResult)> done)
{
    if (hook) {
        done(hook(path) ? DesktopOpenResult::Opened : DesktopOpenResult::NotStarted);
        return;
    }
#ifdef Q_OS_LINUX
    // xdg-open may run the application itself and end only with it, so it
    // is watched, never waited for. It is nobody's child: destroyed while it
    // runs, a process object would kill it, and the application may outlive
    // the window.
    auto* opener = new QProcess;
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, context, [done](int code, QProcess::ExitStatus status) {
        done(status == QProcess::NormalExit && code == 0 ? DesktopOpenResult::Opened
                                                         : DesktopOpenResult::NoApplication);
    });
    QObject::connect(opener, &QProcess::errorOccurred, context, [done](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            done(DesktopOpenResult::NotStarted);
    });
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            opener->deleteLater();
    });
    opener->start(QStringLiteral("xdg-open"), {path});
#else
    // The shell's call tells at once whether an application took the file.
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    QMetaObject::invokeMethod(
        context, [done, opened] { done(opened ? DesktopOpenResult::Opened : DesktopOpenResult::NoApplication); },
        Qt::QueuedConnection);
#endif
}

QString DesktopOpenFailureText(DesktopOpenResult result, const QString& what, const QString& shownPath)
{
    switch (result) {
    case DesktopOpenResult::NotStarted:
        return QStringLiteral("Не удалось открыть %1\n%2").arg(what, shownPath);
    case DesktopOpenResult::NoApplication:
        return QStringLiteral("Ни одно приложение не смогло открыть %1\n%2").arg(what, shownPath);
    case DesktopOpenResult::Opened:
        break;
    }
    return {};
}

QString DesktopOpenFailureText(const std::vector<DesktopHandOver>& handOvers, const QString& what,
                               const QString& whatPlural)
{
    QStringList parts;
    for (DesktopOpenResult result : {DesktopOpenResult::NotStarted, DesktopOpenResult::NoApplication}) {
        QStringList paths;
        for (const DesktopHandOver& h : handOvers)
            if (h.result == result)
                paths << h.shownPath;
        if (!paths.isEmpty())
            parts << DesktopOpenFailureText(result, paths.size() == 1 ? what : whatPlural, paths.join(u'\n'));
    }
    return parts.join(QStringLiteral("\n\n"));
}

void OpenAllWithDesktop(const QStringList& paths, QObject* owner, const std::function<bool(const QString&)>& hook,
                        const QString& what, const QString& whatPlural, std::function<void(const QString&)> tell)
{
    if (paths.isEmpty())
        return;
    // Each hand-over answers to the batch, so none is heard once the owner is gone.
    auto* batch = new HandOverBatch(paths, owner, what, whatPlural, std::move(tell));
    for (qsizetype i = 0; i < paths.size(); ++i)
        OpenWithDesktop(paths[i], batch, hook, [batch, i](DesktopOpenResult result) {
            batch->Ended(static_cast<std::size_t>(i), result);
        });
}
