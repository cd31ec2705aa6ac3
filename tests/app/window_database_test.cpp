// SPDX-License-Identifier: GPL-3.0-or-later
// The window's readings in a time-series database: the choice of its dialog, kept in a file of
// its own, and what the database is sent; a database that fails is told until it takes again.
#include "tests/app/window_fixture.h"
#include "tests/support/fake_database.h"
#include "tests/support/menu_action.h"

#include "app/database_dialog.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <fstream>
#include <sstream>

namespace {

using talvek::test::FakeDatabase;

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class WindowDatabaseTest : public WindowTest {
protected:
    app::DatabaseChoice choiceOf(const FakeDatabase& database) const {
        app::DatabaseChoice choice;
        choice.settings.url = database.url();
        choice.settings.database = "lab";
        choice.settings.tags = {{"station", "desk 1"}};
        return choice;
    }

    // The lines of every request that the database was sent.
    static std::string sentLines(const FakeDatabase& database) {
        std::string lines;
        for (const auto& request : database.requests()) {
            lines += request.body;
        }
        return lines;
    }
};

TEST_F(WindowDatabaseTest, TheDialogsChoiceIsKeptInItsOwnFileAndTheReadingsGoThere) {
    FakeDatabase database;
    dialogs->databaseAnswer = choiceOf(database);
    open();
    talvek::test::findMenuAction(window->connectPage().logMenu(), {"Time-series database..."})
        ->trigger();
    EXPECT_EQ(fileText(folderFile("database.conf")),
              "url=" + database.url() +
                  "\ndatabase=lab\nbucket=\norg=\ntoken-file=\ntag=station=desk 1\n");
    connectCounter();
    sendReading("10000000.52", 1);
    sendReading("10000001.25", 2);
    const std::string series =
        "talvek,identity=kelvo\\ FC-2-counter,instrument=kelvo,port=COM7,quantity=frequency,"
        "station=desk\\ 1 kind=\"reading\",value=";
    EXPECT_TRUE(waitFor([&] {
        return sentLines(database).find(series + "10000001.25 ") != std::string::npos;
    })) << sentLines(database);
    EXPECT_NE(sentLines(database).find(series + "10000000.52 "), std::string::npos);
    EXPECT_EQ(database.requests().front().head.rfind("POST /write?db=lab&precision=ns ", 0), 0u);
    connectCounter(); // disconnects
    window->close();
    EXPECT_EQ(fileText(settingsFile()).find(database.url()), std::string::npos);
}

TEST_F(WindowDatabaseTest, ADatabaseThatFailsIsToldUntilItTakesTheReadingsAgain) {
    FakeDatabase database({503, 503});
    ASSERT_EQ(app::writeDatabaseFile(folderFile("database.conf"), choiceOf(database)), "");
    open();
    connectCounter();
    sendReading("10000000.52", 1);
    EXPECT_TRUE(waitFor([&] { return !window->databaseNotice().empty(); }));
    EXPECT_NE(window->databaseNotice().find("503 busy"), std::string::npos)
        << window->databaseNotice();
    EXPECT_TRUE(waitFor([&] { return window->databaseNotice().empty(); }));
    EXPECT_NE(sentLines(database).find("value=10000000.52 "), std::string::npos);
}

TEST(DatabaseDialog, ShowsTheChoiceAndGivesBackWhatItsFieldsSay) {
    app::DatabaseChoice choice;
    choice.settings = {"http://db:8086", "", "runs", "lab", "", {{"station", "a"}, {"rack", "2"}}};
    choice.tokenFile = "/home/me/token";
    app::DatabaseDialog dialog(choice);
    std::string error;
    EXPECT_EQ(dialog.choice(error), choice);
    dialog.urlEdit()->setText(QStringLiteral("  http://other:8086 "));
    dialog.tagsEdit()->setPlainText(QStringLiteral("station=b\n\n"));
    choice.settings.url = "http://other:8086";
    choice.settings.tags = {{"station", "b"}};
    EXPECT_EQ(dialog.choice(error), choice);
    dialog.tagsEdit()->setPlainText(QStringLiteral("station"));
    EXPECT_FALSE(dialog.choice(error));
    EXPECT_NE(error.find("KEY=VALUE"), std::string::npos);
}

} // namespace
