// Serves the test sites for a manual look: bg_testsite [port] [second-port]; the login lab
// listens on a port of its own, printed at start.
#include <csignal>
#include <cstdlib>
#include <QCoreApplication>
#include <QTextStream>
#include <thread>

#include "sites/LoginLab.h"
#include "sites/TestSites.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int port = argc > 1 ? std::atoi(argv[1]) : 8080;
    const int otherPort = argc > 2 ? std::atoi(argv[2]) : port + 1;
    sites::TestSites sites(port, otherPort);
    QTextStream out(stdout);
    if (!sites.ok()) {
        out << "Could not listen on 127.0.0.1:" << port << " and " << otherPort << Qt::endl;
        return 1;
    }
    sites::LoginLab lab;
    out << "Serving " << sites.Url() << " and " << sites.OtherUrl() << "; the login lab at "
        << lab.Url(QStringLiteral("/")) << " (Ctrl+C ends)" << Qt::endl;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // What the lab's pages received, for a look after a run of the program.
    for (const sites::LoginLab::Page& page : sites::LoginLab::Pages(true) + sites::LoginLab::Pages(false))
        out << page.name << ": " << lab.Describe(QLatin1String(page.name)) << Qt::endl;
    return 0;
}
