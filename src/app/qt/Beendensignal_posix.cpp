// End requests on POSIX: the signal handler only writes the signal's number
// into a pipe (all it may safely do); a QSocketNotifier reads it on the
// event loop.
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

extern "C" void signalHandler(int nummer) {
    const int gesichert = errno;
    const char byte = static_cast<char>(nummer);
    [[maybe_unused]] const ssize_t n = ::write(rohr[1], &byte, 1);
    errno = gesichert;
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
        ::signal(nummer, SIG_DFL);
        ::raise(nummer);
        ::_exit(128 + nummer);
    });
    struct sigaction aktion {};
    aktion.sa_handler = signalHandler;
    sigemptyset(&aktion.sa_mask);
    // SA_RESETHAND: a second request finds the default action and ends the
    // program at once, should the event loop hang.
    aktion.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int nummer : {SIGTERM, SIGINT, SIGHUP}) {
        // Started with the signal ignored (nohup): it stays ignored.
        struct sigaction bisher {};
        if (::sigaction(nummer, nullptr, &bisher) == 0 && bisher.sa_handler == SIG_IGN) continue;
        ::sigaction(nummer, &aktion, nullptr);
    }
}

} // namespace qmb
