// The self-pipe: the handler only writes one byte, and a socket notifier on the other end reads it
// in the event loop.
#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace orvelle {

namespace {

std::array<int, 2> SignalSockets{-1, -1};
constexpr std::array HandledSignals{SIGINT, SIGTERM};
std::array<struct sigaction, HandledSignals.size()> PreviousActions{};

void TerminationSignalHandler(int) {
    const char byte = 1;
    const ssize_t written = write(SignalSockets[0], &byte, 1);
    (void)written;
}

} // namespace

TTerminationSignals::TTerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), FOnSignal(std::move(onSignal)) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalSockets.data()) != 0)
        throw std::runtime_error("Unable to create the signal socket pair.");
    FNotifier = new QSocketNotifier(SignalSockets[1], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TTerminationSignals::SignalArrived);

    struct sigaction action {};
    action.sa_handler = TerminationSignalHandler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < HandledSignals.size(); ++i)
        sigaction(HandledSignals[i], &action, &PreviousActions[i]);
}

TTerminationSignals::~TTerminationSignals() {
    for (std::size_t i = 0; i < HandledSignals.size(); ++i)
        sigaction(HandledSignals[i], &PreviousActions[i], nullptr);
    delete FNotifier;
    close(SignalSockets[0]);
    close(SignalSockets[1]);
    SignalSockets = {-1, -1};
}

void TTerminationSignals::SignalArrived() {
    char byte = 0;
    const ssize_t received = read(SignalSockets[1], &byte, 1);
    (void)received;
    FOnSignal();
}

} // namespace orvelle
