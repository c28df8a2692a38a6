#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX
namespace {

// The handler may do next to nothing safely: it writes the signal's number
// here and the main thread reads it. Open for the whole process, so a signal
// that comes after the reader is gone still writes into this pair and
// nowhere else.
int signalSocket[2] = {-1, -1};

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // Never blocks: with the pair full, a signal is waiting to be read already.
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[1], &byte, 1);
    errno = savedErrno;
}

bool openSignalSocket()
{
    if (signalSocket[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSocket) != 0)
        return false;
    for (int fd : signalSocket) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

} // namespace
#endif

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
#ifdef Q_OS_UNIX
    if (!openSignalSocket())
        return;
    auto* notifier = new QSocketNotifier(signalSocket[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationSignals::OnActivated);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction old = {};
        if (::sigaction(signalNumber, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signalNumber, &action, nullptr);
    }
#endif
}

void TerminationSignals::OnActivated()
{
#ifdef Q_OS_UNIX
    // Drained whole: signals that came together end the program once.
    char byte = 0;
    char last = 0;
    while (::read(signalSocket[0], &byte, 1) == 1)
        last = byte;
    if (last != 0)
        emit received(last);
#endif
}
