// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/child_process.h"

#include <QJsonArray>
#include <memory>
#include <string>

namespace cli_test {

// A real InfluxDB 1.x (Debian's influxd) for one test: on loopback ports of its own, its data in
// the test's folder, with a login, started and stopped by the test by its process id.
class InfluxServer {
public:
    static constexpr char kUser[] = "talvek";
    static constexpr char kPassword[] = "s3cret";
    static constexpr char kDatabase[] = "lab";

    explicit InfluxServer(std::string folder);
    ~InfluxServer();

    // Starts influxd and waits until it answers; the first start also makes the administrator
    // and the database. False when it did not come up.
    bool start();
    // Ends it as SIGTERM does and waits until it has.
    void stop();

    std::string url(const std::string& password = kPassword) const;
    // The rows ([time in ns, column...]) that an InfluxQL SELECT on the database answers;
    // empty when there are none or the database does not answer.
    QJsonArray select(const std::string& statement) const;

private:
    bool writeConfig();
    // The JSON answer of a statement as the administrator (`login`) or before there is one.
    std::string query(const std::string& statement, bool login) const;

    std::string folder_;
    int httpPort_ = 0;
    int rpcPort_ = 0;
    bool made_ = false;
    std::unique_ptr<talvek::test::ChildProcess> process_; // a new one for each start
};

} // namespace cli_test
