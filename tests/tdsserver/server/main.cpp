// The TDS test server: SQLite catalogs behind the protocol SQL Server's
// drivers speak, on loopback only.
#include "server_options.h"
#include "tds_server.h"
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    tds::ServerOptions options;
    QString error;
    if (!tds::parseServerOptions(app.arguments(), &options, &error)) {
        const bool help = app.arguments().contains(QStringLiteral("--help")) || app.arguments().contains(QStringLiteral("-h"));
        std::fputs(qPrintable(error), help ? stdout : stderr);
        return help ? 0 : 2;
    }
    std::signal(SIGTERM, [](int) { tds::requestStop(); });
    std::signal(SIGINT, [](int) { tds::requestStop(); });
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    tds::TdsServer server(options);
    if (!server.start(&error)) {
        std::fprintf(stderr, "tdsserver: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("tdsserver listening on %s port %u\n", qPrintable(options.listen), unsigned(server.port()));
    std::fflush(stdout);
    return app.exec();
}
