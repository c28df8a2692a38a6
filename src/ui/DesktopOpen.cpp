#include "ui/DesktopOpen.h"

#include <QDesktopServices>
#include <QMetaObject>
#include <QProcess>
#include <QStringList>
#include <QUrl>

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
