// SPDX-License-Identifier: GPL-3.0-or-later
#include "influx_server.h"

#include "recording/http_client.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <chrono>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cli_test {
namespace {

// A loopback port nobody listens on now.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string basicLogin() {
    const QByteArray login = QByteArray(InfluxServer::kUser) + ':' + InfluxServer::kPassword;
    return "Authorization: Basic " + login.toBase64().toStdString() + "\r\n";
}

} // namespace

InfluxServer::InfluxServer(std::string folder) : folder_(std::move(folder)) {}

InfluxServer::~InfluxServer() {
    stop();
}

bool InfluxServer::writeConfig() {
    httpPort_ = freePort();
    rpcPort_ = freePort();
    std::ofstream config(folder_ + "/influxd.conf");
    config << "reporting-enabled = false\n"
           << "bind-address = \"127.0.0.1:" << rpcPort_ << "\"\n"
           << "[meta]\n  dir = \"" << folder_ << "/meta\"\n"
           << "[data]\n  dir = \"" << folder_ << "/data\"\n  wal-dir = \"" << folder_
           << "/wal\"\n  query-log-enabled = false\n"
           << "[monitor]\n  store-enabled = false\n"
           << "[http]\n  bind-address = \"127.0.0.1:" << httpPort_ << "\"\n"
           << "  auth-enabled = true\n  log-enabled = false\n"
           << "[logging]\n  level = \"error\"\n  suppress-logo = true\n";
    return static_cast<bool>(config.flush());
}

bool InfluxServer::start() {
    if (!made_ && !writeConfig()) {
        return false;
    }
    process_ = std::make_unique<talvek::test::ChildProcess>();
    if (!process_->start("influxd", {"-config", folder_ + "/influxd.conf"})) {
        return false;
    }
    // The answer to /ping tells it serves; 30 s leaves room for a slow sanitizer machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool serving = false;
    while (!serving && process_->running() && std::chrono::steady_clock::now() < deadline) {
        recording::HttpClient client("127.0.0.1", static_cast<std::uint16_t>(httpPort_));
        serving = client.request("GET", "/ping", {}, {}, std::chrono::seconds(1)).status == 204;
        if (!serving) {
            process_->readOutput(50); // a wait of 50 ms that also drains its output
        }
    }
    if (serving && !made_) {
        query(std::string("CREATE USER ") + kUser + " WITH PASSWORD '" + kPassword +
                  "' WITH ALL PRIVILEGES",
              false);
        query(std::string("CREATE DATABASE ") + kDatabase, true);
        made_ = true;
    }
    return serving;
}

void InfluxServer::stop() {
    if (process_) {
        process_->stop();
    }
}

std::string InfluxServer::url(const std::string& password) const {
    return std::string("http://") + kUser + ':' + password +
           "@127.0.0.1:" + std::to_string(httpPort_);
}

std::string InfluxServer::query(const std::string& statement, bool login) const {
    const QByteArray q = QUrl::toPercentEncoding(QString::fromStdString(statement));
    const std::string target =
        std::string("/query?db=") + kDatabase + "&epoch=ns&q=" + q.toStdString();
    recording::HttpClient client("127.0.0.1", static_cast<std::uint16_t>(httpPort_));
    return client.request("POST", target, login ? basicLogin() : "", {}, std::chrono::seconds(30))
        .body;
}

QJsonArray InfluxServer::select(const std::string& statement) const {
    const QJsonDocument answer =
        QJsonDocument::fromJson(QByteArray::fromStdString(query(statement, true)));
    const QJsonArray series =
        answer.object()["results"].toArray().at(0).toObject()["series"].toArray();
    return series.at(0).toObject()["values"].toArray();
}

} // namespace cli_test
