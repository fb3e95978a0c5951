// End requests on POSIX: the signal handler only writes the signal's number
// into a pipe (all it may safely do); a QSocketNotifier reads it on the
// event loop. Further requests are taken in without effect until the
// clean-up has had its time: two signals a few milliseconds apart (a logout
// sends HUP and TERM) must not kill the program before it cleaned up. Only
// when the clean-up hangs past the time limit is it cut short.
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "app/qt/Beendensignal.h"

namespace qmb {
namespace {

int rohr[2] = {-1, -1};
// The request taken, once one came. Requests are process-wide: a burst can be
// taken by two threads at once, so one exchange decides which one counts.
std::atomic<int> erstes{0};
static_assert(std::atomic<int>::is_always_lock_free, "used in a signal handler");

// How long the clean-up may take before the program ends anyway.
constexpr unsigned FRIST_SEKUNDEN = 5;

void sterben(int nummer) {
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ::sigaction(nummer, &standard, nullptr);
    sigset_t nur;
    sigemptyset(&nur);
    sigaddset(&nur, nummer);
    ::sigprocmask(SIG_UNBLOCK, &nur, nullptr);
    ::raise(nummer);
    ::_exit(128 + nummer);
}

extern "C" void signalHandler(int nummer) {
    int keiner = 0;
    if (!erstes.compare_exchange_strong(keiner, nummer)) return; // already on the way out
    const int gesichert = errno;
    const char byte = static_cast<char>(nummer);
    [[maybe_unused]] const ssize_t n = ::write(rohr[1], &byte, 1);
    ::alarm(FRIST_SEKUNDEN);
    errno = gesichert;
}

// The time limit ran out: the event loop never got to the clean-up, or the
// clean-up hangs. The program dies of the signal it was sent.
extern "C" void fristHandler(int) {
    const int nummer = erstes;
    sterben(nummer != 0 ? nummer : SIGTERM);
}

} // namespace

void beiBeendenSignal(std::function<void()> beenden) {
    if (rohr[0] >= 0 || ::pipe(rohr) != 0) return;
    for (int fd : rohr) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK); // a full pipe must not block the handler
    }
    auto* melder = new QSocketNotifier(rohr[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(melder, &QSocketNotifier::activated, melder, [melder, beenden = std::move(beenden)] {
        char nummer = 0;
        if (::read(rohr[0], &nummer, 1) != 1) return;
        melder->setEnabled(false);
        beenden();
        // Die of the signal, so that whoever sent it sees it worked.
        sterben(nummer);
    });
    struct sigaction aktion {};
    // A display server that goes away would otherwise kill the program with
    // SIGPIPE at its next write to the connection, before Qt notices and
    // ends it through its lost-display path, where the music is cleaned up.
    aktion.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &aktion, nullptr);
    aktion.sa_handler = fristHandler;
    sigemptyset(&aktion.sa_mask);
    ::sigaction(SIGALRM, &aktion, nullptr);
    aktion.sa_handler = signalHandler;
    // The three requests wait for each other's handler.
    for (int nummer : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&aktion.sa_mask, nummer);
    aktion.sa_flags = SA_RESTART;
    for (int nummer : {SIGTERM, SIGINT, SIGHUP}) {
        // Started with the signal ignored (nohup): it stays ignored.
        struct sigaction bisher {};
        if (::sigaction(nummer, nullptr, &bisher) == 0 && bisher.sa_handler == SIG_IGN) continue;
        ::sigaction(nummer, &aktion, nullptr);
    }
}

} // namespace qmb
