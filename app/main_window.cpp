// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/commands_page.h"
#include "app/connect_page.h"
#include "app/display_page.h"
#include "app/dynamic_page.h"
#include "app/formats/journal_notice.h"
#include "app/graph_page.h"
#include "app/key_preview.h"
#include "app/log_model.h"
#include "app/qt_dialogs.h"
#include "app/run_list.h"
#include "app/stability_page.h"
#include "app/widget_style.h"
#include "counter/instruments.h"
#include "recording/influx_feed.h"
#include "recording/reading_store.h"
#include "recording/session.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace app {
namespace {

constexpr int kDesignLeft = 614;
constexpr int kDesignTop = 225;
constexpr int kDesignWidth = 1148;
constexpr int kDesignHeight = 574;
// The progress bar of a measurement being read: its steps, and how often it moves on.
constexpr int kProgressSteps = 1000;
constexpr int kLoadWatchIntervalMs = 100;

} // namespace

MainWindow::MainWindow(WindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), settingsFolder_(std::move(environment.settingsFolder)),
      dialogs_(std::move(environment.dialogs)),
      session_(new recording::Session(
          counter::defaultInstrument(),
          recording::JournalFolder(environment.dataFolder.empty()
                                       ? recording::JournalFolder::userDataFolder()
                                       : environment.dataFolder),
          this, std::move(environment.monotonicMs))),
      readings_(std::make_shared<recording::ReadingStore>()), log_(new LogModel(this)),
      runs_(new RunList(this)), statusBar_(new QStatusBar(this)),
      journalNotice_(new QLabel(statusBar_)), lossNote_(new QLabel(statusBar_)),
      pages_(new QTabWidget(this)), deviceWatch_(new QTimer(this)),
      loader_(std::make_unique<MeasurementLoader>(this)),
      loadProgress_(new QProgressBar(statusBar_)), loadWatch_(new QTimer(this)) {
    if (settingsFolder_.empty()) {
        settingsFolder_ = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    }
    if (!dialogs_) {
        dialogs_ = std::make_shared<QtDialogs>(this);
    }
    log_->show(readings_);
    QFont font = sansFont();
    font.setPixelSize(14);
    setFont(font);
    setMinimumSize(500, 160);
    move(kDesignLeft, kDesignTop);
    resize(kDesignWidth, kDesignHeight);

    statusBar_->setSizeGripEnabled(true);
    statusBar_->addPermanentWidget(journalNotice_);
    setStatusBar(statusBar_);
    // Readings overwrite the status bar's message at once; the notice stays until the next
    // connect attempt.
    connect(session_, &recording::Session::journalStopped, this, [this](const std::string& reason) {
        journalNotice_->setText(QString::fromUtf8(journalStoppedNotice(reason)));
    });
    statusBar_->addPermanentWidget(lossNote_);
    lossNote_->hide();
    statusBar_->addPermanentWidget(loadProgress_);
    loadProgress_->setRange(0, kProgressSteps);
    loadProgress_->hide();
    loadWatch_->setInterval(kLoadWatchIntervalMs);
    connect(loadWatch_, &QTimer::timeout, this, [this] {
        loadProgress_->setValue(static_cast<int>(loader_->progress() * kProgressSteps));
    });
    assemblePages();
    new KeyPreview(this, [this](char key) { commandsPage_->keyTyped(key); });
    addShortcuts();

    connect(session_, &recording::Session::readingReceived, this, &MainWindow::addReading);
    connect(session_, &recording::Session::gapFound, this, &MainWindow::addGap);
    connect(session_, &recording::Session::statusReceived, commandsPage_,
            [this](const std::string& telegram) { commandsPage_->addReply(telegram); });
    connect(session_, &recording::Session::connectFinished, this, &MainWindow::finishConnect);
    connect(session_, &recording::Session::telegramsLost, this, &MainWindow::noteLostTelegrams);
    watchDevice();

    loadSettings();
    setWindowTitle(QString::fromUtf8(kTitle));
    // Widgets paint through a back buffer already; the "Display" and "Graph" pages never flicker.
    connectPage_->choosePort(savedPort_);
    session_->driver().setPort(connectPage_->selectedPort());
    // Once the window shows.
    QMetaObject::invokeMethod(this, &MainWindow::offerRecovery, Qt::QueuedConnection);
}

MainWindow::~MainWindow() = default;

void MainWindow::assemblePages() {
    connectPage_ = new ConnectPage(log_);
    commandsPage_ = new CommandsPage(session_->driver());
    displayPage_ = new DisplayPage;
    graphPage_ = new GraphPage(dialogs_);
    stabilityPage_ = new StabilityPage([this] { return graphPage_->shownTimeSpan(); });
    dynamicPage_ = new DynamicPage;
    pages_->addTab(connectPage_, QStringLiteral("Connect"));
    pages_->addTab(commandsPage_, QStringLiteral("Commands"));
    pages_->addTab(displayPage_, QStringLiteral("Display"));
    pages_->addTab(graphPage_, QStringLiteral("Graph"));
    pages_->addTab(stabilityPage_, QStringLiteral("Stability"));
    pages_->addTab(dynamicPage_, QStringLiteral("Dynamic ADEV"));
    pages_->setCurrentWidget(connectPage_);
    setCentralWidget(pages_);
    commandsPage_->alignWith(connectPage_->bottomRow());

    connect(connectPage_, &ConnectPage::connectRequested, this, &MainWindow::connectOrDisconnect);
    connect(connectPage_, &ConnectPage::portPicked, this,
            [this](const std::string& port) { savedPort_ = port; });
    connect(connectPage_, &ConnectPage::instrumentPicked, this, &MainWindow::useInstrument);
    connect(connectPage_, &ConnectPage::saveRequested, this, &MainWindow::saveThroughDialog);
    connect(connectPage_, &ConnectPage::openRequested, this, &MainWindow::openThroughDialog);
    connect(connectPage_, &ConnectPage::databaseRequested, this, &MainWindow::editDatabase);
    connect(commandsPage_, &CommandsPage::statusMessage, this, &MainWindow::showStatus);
    const auto toggleConnection = [this] { connectPage_->toggleConnection(); };
    connect(commandsPage_, &CommandsPage::connectToggleRequested, this, toggleConnection);
    connect(displayPage_, &DisplayPage::connectToggleRequested, this, toggleConnection);
    connect(graphPage_, &GraphPage::connectToggleRequested, this, toggleConnection);
    connect(stabilityPage_, &StabilityPage::connectToggleRequested, this, toggleConnection);
    connect(dynamicPage_, &DynamicPage::connectToggleRequested, this, toggleConnection);
    graphPage_->useRuns(*runs_);
    stabilityPage_->useRuns(*runs_);
    connect(runs_, &RunList::closeRequested, this, &MainWindow::closeRun);
    offerPictures();
    for (int i = 0; i < pages_->count(); ++i) {
        pages_->widget(i)->installEventFilter(this);
    }
}

// The tab widget sizes only the page that shows; the others follow it here.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == pages_->currentWidget()) {
        fitHiddenPages();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::fitHiddenPages() {
    const QSize size = pages_->currentWidget()->size();
    for (Page* page : std::initializer_list<Page*>{connectPage_, commandsPage_, displayPage_,
                                                   graphPage_, stabilityPage_, dynamicPage_}) {
        if (page != pages_->currentWidget()) {
            page->fitTo(size);
        }
    }
}

std::shared_ptr<const recording::ReadingTable> MainWindow::readings() const {
    return readings_;
}

counter::Driver& MainWindow::counter() const {
    return session_->driver();
}

std::string MainWindow::statusText() const {
    return statusBar_->currentMessage().toLatin1().toStdString();
}

std::string MainWindow::lossText() const {
    return !lossNote_->isHidden() ? lossNote_->text().toStdString() : std::string();
}

// Status texts are telegrams or messages about the line: one character per byte.
void MainWindow::showStatus(const std::string& text) {
    if (text.empty()) {
        statusBar_->clearMessage();
    } else {
        statusBar_->showMessage(QString::fromLatin1(text));
    }
}

std::string MainWindow::journalNotice() const {
    return journalNotice_->text().toUtf8().toStdString();
}

void MainWindow::showMessage(const std::string& utf8) {
    statusBar_->showMessage(QString::fromUtf8(utf8));
}

void MainWindow::showError(const std::string& message) {
    dialogs_->showError(message);
}

} // namespace app
