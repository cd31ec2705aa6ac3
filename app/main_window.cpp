#include "app/main_window.h"

#include "app/form_plot.h"
#include "app/key_preview.h"
#include "app/qt_form_dialogs.h"
#include "counter/kelvo_counter.h"
#include "platform/clock.h"
#include "portselect/com_port_combo_box.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace app {
namespace {

constexpr int DesignLeft = 614;
constexpr int DesignTop = 225;
constexpr int DesignWidth = 1148;
constexpr int DesignHeight = 574;
constexpr int BConnectWidth = 112;
constexpr int BConnectHeight = 33;
constexpr int CComWidth = 645;
constexpr int Gap = 4;

// Courier and Tahoma of the original design, as fonts every Debian desktop has.
QFont ListFont() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(15);
    return font;
}

QFont SansFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void SetTextColour(QWidget* widget, Qt::GlobalColor colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// The log as a one-column table without headers or grid, every row one line high: it looks like
// a list, and unlike a list view it does not lay out every line again for each line appended,
// so a million lines append and scroll as fast as ten.
QTableView* CreateLogList(QWidget* parent, TLogModel* log) {
    auto* list = new QTableView(parent);
    list->setModel(log);
    list->setFont(ListFont());
    SetTextColour(list, Qt::blue);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->horizontalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    QHeaderView* rows = list->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(QFontMetrics(list->font()).height() + 2);
    return list;
}

} // namespace

TForm1::TForm1(TFormEnvironment environment, QWidget* parent)
    : QMainWindow(parent), settingsFolder_(std::move(environment.SettingsFolder)),
      dialogs_(std::move(environment.Dialogs)), monotonicMs_(std::move(environment.MonotonicMs)) {
    if (settingsFolder_.empty()) {
        settingsFolder_ = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    }
    if (!dialogs_) {
        dialogs_ = std::make_shared<TQtFormDialogs>(this);
    }
    if (!monotonicMs_) {
        monotonicMs_ = platform::MonotonicMs;
    }
    QFont font = SansFont();
    font.setPixelSize(14);
    setFont(font);
    setMinimumSize(500, 160);
    move(DesignLeft, DesignTop);
    resize(DesignWidth, DesignHeight);

    CreateControls();
    CreateMenus();
    keyPreview_ = new TKeyPreview(this, [this](char key) { FormKeyPress(key); });
    StartDeviceWatch();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::CreateControls() {
    KELVO_Counter = new counter::KelvoCounter(this);
    connect(KELVO_Counter, &counter::KelvoCounter::readingReceived, this, &TForm1::addReading);
    connect(KELVO_Counter, &counter::KelvoCounter::statusReceived, this, &TForm1::addReply);
    connect(KELVO_Counter, &counter::KelvoCounter::connectFinished, this, &TForm1::finishConnect);

    SB = new QStatusBar(this);
    SB->setSizeGripEnabled(true);
    setStatusBar(SB);

    PageControl = new QTabWidget(this);
    TabMeasure = CreateConnectPage();
    TabConsole = CreateCommandsPage();
    TabDisplay = CreateDisplayPage();
    TabGraph = CreateGraphPage();
    PageControl->addTab(TabMeasure, QStringLiteral("Connect"));
    PageControl->addTab(TabConsole, QStringLiteral("Commands"));
    PageControl->addTab(TabDisplay, QStringLiteral("Display"));
    PageControl->addTab(TabGraph, QStringLiteral("Graph"));
    PageControl->setCurrentWidget(TabMeasure);
    setCentralWidget(PageControl);
    // The layout rule follows the pages' own sizes, which settle after the window's.
    TabMeasure->installEventFilter(this);
    TabDisplay->installEventFilter(this);
}

QWidget* TForm1::CreateConnectPage() {
    auto* page = new QWidget;
    Log = new TLogModel(this);
    LB = CreateLogList(page, Log);
    LB->move(0, 0);

    BConnect = new QPushButton(QStringLiteral("Connect"), page);
    BConnect->setCheckable(true);
    BConnect->setGeometry(Gap, 0, BConnectWidth, BConnectHeight);
    connect(BConnect, &QPushButton::clicked, this, [this] { BConnectClick(); });

    CCom = new TComPortComboBox(page);
    CCom->setGeometry(BConnect->geometry().right() + 1 + Gap, 0, CComWidth,
                      CCom->sizeHint().height());
    CCom->SetFilterShow(255);
    CCom->SetFilterType(255);
    connect(CCom, &TComPortComboBox::portChanged, this, &TForm1::CComChange);

    CheckAuto = new QCheckBox(QStringLiteral("auto-identify counter (must be counting!)"), page);
    CheckAuto->adjustSize();
    CheckAuto->move(CCom->geometry().right() + 1 + Gap, 0);
    CheckAuto->setChecked(false);
    CheckAuto->hide();
    return page;
}

QWidget* TForm1::CreateCommandsPage() {
    auto* page = new QWidget;
    LBC = new QListWidget(page);
    LBC->setUniformItemSizes(true);
    LBC->setFont(ListFont());
    SetTextColour(LBC, Qt::blue);
    LBC->move(0, 0);

    LC = new QLabel(QStringLiteral("Value"), page);
    LC->adjustSize();
    LC->move(Gap, 0);

    EC = new QLineEdit(QStringLiteral("1"), page);
    EC->move(LC->geometry().right() + 1 + 2 * Gap, 0);
    EC->resize(EC->sizeHint());
    return page;
}

QWidget* TForm1::CreateDisplayPage() {
    auto* page = new QWidget;
    LFreq = new QLabel(page);
    LFreq->setAlignment(Qt::AlignCenter);
    LFreq->setFont(SansFont());
    SetTextColour(LFreq, Qt::blue);
    return page;
}

QWidget* TForm1::CreateGraphPage() {
    auto* page = new QWidget;
    XY = new TFormPlot(page, [this] { return dialogs_->OpenPrinter(); });
    XY->X_Caption = "Time/s";
    XY->Y_Left_0 = 24999990.0;
    XY->Y_Left_1 = 25000010.0;
    XY->XY_LeftPerCent = 20;
    XY->XY_FixedNumberFormat = false;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(XY);
    return page;
}

std::string TForm1::StatusText() const {
    return SB->currentMessage().toLatin1().toStdString();
}

void TForm1::SetStatus(const std::string& text) {
    if (text.empty()) {
        SB->clearMessage();
    } else {
        SB->showMessage(QString::fromLatin1(text));
    }
}

void TForm1::SetCaption(const std::string& text) {
    setWindowTitle(QString::fromLatin1(text));
}

void TForm1::ShowError(const std::string& message) {
    dialogs_->ShowError(message);
}

} // namespace app
