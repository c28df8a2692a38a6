#pragma once

#include <QObject>

// SIGTERM, SIGHUP and SIGINT (a shutdown, a lost terminal, Ctrl+C) handed to
// the main thread as a Qt signal, so the program can end as its close does
// rather than die with nothing written. A signal ignored when the program
// starts (nohup) stays ignored.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);

signals:
    // Once for each batch of signals that arrived; the number of the last.
    void received(int signalNumber);

private:
    void OnActivated();
};
