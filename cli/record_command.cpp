// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/record_command.h"

#include "cli/diagnostics.h"
#include "cli/record_options.h"
#include "cli/recorder.h"
#include "cli/stop_signals.h"
#include "platform/port_catalog.h"
#include "platform/private_files.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

// Why the file at `path` cannot be made, found before a recording of days ends in it; empty
// when its folder takes files and is safe to write into.
std::string unwritableFolder(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    const std::string folder = platform::splitPath(path).first;
    std::string error;
    if (!platform::openFolderToWrite(folder, error).valid()) {
        return error;
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "cannot write into " + folder + ": " + std::strerror(errno);
    }
    return {};
}

} // namespace

ExitCode runRecord(std::span<const std::string> arguments) {
    const ParsedRecordRequest parsed = parseRecordRequest(arguments);
    if (!parsed.error.empty()) {
        return fail(ExitCode::Usage, parsed.error + "; try 'talvek-cli record --help'");
    }
    if (parsed.request.help) {
        print(recordUsageText());
        return ExitCode::Done;
    }
    const RecordRequest& request = parsed.request;
    // A COM name, or the device node of one.
    const auto catalog = platform::systemPortCatalog();
    auto port = catalog->find(request.port);
    if (!port && request.port.find('/') != std::string::npos) {
        port = catalog->findDeviceNode(request.port);
    }
    if (!port) {
        return fail(ExitCode::NoPort, "there is no port " + request.port +
                                          " on this machine; 'talvek-cli ports' lists them");
    }
    for (const std::string& path : {request.outPath, request.journalPath}) {
        if (const std::string why = unwritableFolder(path); !why.empty()) {
            return fail(ExitCode::Unwritable, why);
        }
    }
    // A journal that is there holds the readings of a run that did not end cleanly; a link there
    // would lead the journal's bytes into another file.
    struct stat journal {};
    if (!request.journalPath.empty() && ::lstat(request.journalPath.c_str(), &journal) == 0) {
        return fail(ExitCode::Unwritable,
                    S_ISLNK(journal.st_mode)
                        ? request.journalPath +
                              " is a link; a journal is never written through one: remove it"
                        : request.journalPath +
                              " is there, the journal of a run that did not end; open it in the "
                              "window or move it away");
    }
    std::optional<recording::InfluxTarget> influx;
    if (request.influx.wanted()) {
        std::string why;
        influx = prepareInflux(request.influx, why);
        if (!influx) {
            return fail(ExitCode::NoDatabase, why);
        }
    }
    int argc = 1;
    char name[] = "talvek-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    ExitCode result = ExitCode::Done;
    Recorder recorder(
        request, *port,
        [&result](ExitCode code) {
            result = code;
            QCoreApplication::exit(0);
        },
        std::move(influx));
    const StopSignals stopSignals([&recorder] { recorder.stop(); });
    QMetaObject::invokeMethod(
        &application, [&recorder] { recorder.start(); }, Qt::QueuedConnection);
    QCoreApplication::exec();
    return result;
}

} // namespace cli
