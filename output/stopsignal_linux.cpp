#include "stopsignal.h"

#include <QtCore/QSocketNotifier>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only do async-signal-safe things: it writes one byte, and the event loop
// sees the socket become readable.
int signalSockets[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = ::write(signalSockets[0], &byte, 1);
    (void)ignored;
}

void handle(int number, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(number, &action, nullptr);
}

} // namespace

StopSignal::StopSignal(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0)
        return;
    notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this]() {
        char bytes[16];
        const ssize_t ignored = ::read(signalSockets[1], bytes, sizeof bytes);
        (void)ignored;
        emit received();
    });
    handle(SIGINT, onSignal);
    handle(SIGTERM, onSignal);
    handle(SIGHUP, onSignal);
}

StopSignal::~StopSignal()
{
    if (!notifier)
        return;
    handle(SIGINT, SIG_DFL);
    handle(SIGTERM, SIG_DFL);
    handle(SIGHUP, SIG_DFL);
    delete notifier;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}
