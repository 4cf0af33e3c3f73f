// The "Input Data" page: its controls, their wiring, and the handlers of the
// link inputs.
#include "app/pages/InputPage.h"

#include "app/pages/ChartSeries.h"
#include "app/pages/ImageTools.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/ChartView.h"
#include "controls/Panel.h"
#include "geo/Path.h"
#include "geo/Units.h"
#include "propagation/FieldStrength.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QXYSeries>

#include <algorithm>
#include <utility>
#include <vector>

namespace kestrova {
namespace {

QLineSeries* Line(const char* name, const QString& title, const QColor& colour) {
    auto* series = Named(new QLineSeries, name);
    series->setName(title);
    QPen pen(colour);
    pen.setWidthF(1.0);
    series->setPen(pen);
    return series;
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A label that keeps its room in the layout while hidden, so that showing
// or hiding it never moves the controls around it.
void KeepRoomWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
}

} // namespace

TInputPage::TInputPage(TPageHost& pageHost)
    : TPage(pageHost, "InputData", QStringLiteral("Input Data")),
      resultsFileName(QStringLiteral("results.dat")), link(pageHost.Link()) {
    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 0);
    BuildLocations(left);
    BuildParameters(left);
    BuildButtons(left);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    BuildChart(right);
    BuildEdition(right);
    BuildResults(right);
    Connect();
    ConnectLink();
}

void TInputPage::BuildLocations(QVBoxLayout* column) {
    // The two ends, or the start with range and bearing.
    Panel2 = Named(new TPanel(this), "Panel2");
    Panel2->setFrameShape(QFrame::StyledPanel);
    Panel2->setAutoFillBackground(true);
    auto* ends = new QFormLayout(Panel2);
    StartLoc = Named(new QLineEdit(Panel2), "StartLoc");
    EndLoc = Named(new QLineEdit(Panel2), "EndLoc");
    StartLoc->setToolTip(QStringLiteral("Transmitter (start) location"));
    EndLoc->setToolTip(QStringLiteral("Receiver (end) location"));
    ends->addRow(QStringLiteral("TX location"), StartLoc);
    ends->addRow(QStringLiteral("RX location"), EndLoc);
    column->addWidget(Panel2);

    Panel1 = Named(new TPanel(this), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setAutoFillBackground(true);
    auto* rangeBearing = new QGridLayout(Panel1);
    Range = NumField("Range", Panel1);
    Bearing = NumField("Bearing", Panel1);
    RangeUnitLabel = Label("RangeUnitLabel", QStringLiteral("km"), Panel1);
    BackBearing = Label("BackBearing", QStringLiteral("(Back bearing)"), Panel1);
    rangeBearing->addWidget(new QLabel(QStringLiteral("Range"), Panel1), 0, 0);
    rangeBearing->addWidget(Range, 0, 1);
    rangeBearing->addWidget(RangeUnitLabel, 0, 2);
    rangeBearing->addWidget(new QLabel(QStringLiteral("Bearing"), Panel1), 1, 0);
    rangeBearing->addWidget(Bearing, 1, 1);
    rangeBearing->addWidget(new QLabel(QStringLiteral("deg"), Panel1), 1, 2);
    rangeBearing->addWidget(BackBearing, 2, 0, 1, 3);
    column->addWidget(Panel1);

    auto* formats = Named(new QGroupBox(QStringLiteral("Location format"), this), "FormatGroup");
    auto* formatLayout = new QGridLayout(formats);
    DMS = Named(new QRadioButton(QStringLiteral("Degrees Minutes Seconds "), formats), "DMS");
    DEG = Named(new QRadioButton(QStringLiteral("Decimal Degrees"), formats), "DEG");
    NGR = Named(new QRadioButton(QStringLiteral("OSGB Grid Reference"), formats), "NGR");
    LOC = Named(new QRadioButton(QStringLiteral("Maidenhead Locator"), formats), "LOC");
    formatLayout->addWidget(DMS, 0, 0);
    formatLayout->addWidget(DEG, 0, 1);
    formatLayout->addWidget(NGR, 1, 0);
    formatLayout->addWidget(LOC, 1, 1);
    NGR->setChecked(true);
    column->addWidget(formats);
}

void TInputPage::BuildEdition(QVBoxLayout* column) {
    auto* group = Named(new QGroupBox(QStringLiteral("Prediction method"), this), "EditionGroup");
    auto* layout = new QHBoxLayout(group);
    EditionBox = Named(new QComboBox(group), "Edition");
    EditionBox->addItem(QStringLiteral("ITU-R P.452-14 (2009)"));
    EditionBox->addItem(QStringLiteral("ITU-R P.452-18 (2023)"));
    EditionBox->setToolTip(QStringLiteral(
        "The edition of ITU-R P.452 every page computes with. P.452-18 (the current edition) "
        "holds for 0.1-50 GHz and 0.001-50 % of time; it reads the polarisation and the antenna "
        "gains, and its gaseous absorption (ITU-R P.676-11) takes no relative humidity."));
    PolarisationBox = Named(new QComboBox(group), "Polarisation");
    PolarisationBox->addItem(QStringLiteral("Vertical"));
    PolarisationBox->addItem(QStringLiteral("Horizontal"));
    PolarisationBox->setToolTip(QStringLiteral("Polarisation (P.452-18 only)"));
    TX_GAIN = NumField("TX_GAIN", group);
    RX_GAIN = NumField("RX_GAIN", group);
    TX_GAIN->setToolTip(QStringLiteral("TX antenna gain towards the horizon, dBi (P.452-18 only)"));
    RX_GAIN->setToolTip(QStringLiteral("RX antenna gain towards the horizon, dBi (P.452-18 only)"));
    // One row beside the chart, so that the inputs' column grows no longer.
    layout->addWidget(new QLabel(QStringLiteral("Edition"), group));
    layout->addWidget(EditionBox);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Polarisation"), group));
    layout->addWidget(PolarisationBox);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Gain TX"), group));
    layout->addWidget(TX_GAIN);
    layout->addWidget(new QLabel(QStringLiteral("RX"), group));
    layout->addWidget(RX_GAIN);
    layout->addWidget(new QLabel(QStringLiteral("dBi"), group));
    layout->addStretch(1);
    column->addWidget(group);
}

void TInputPage::BuildParameters(QVBoxLayout* column) {
    auto* radio = Named(new QGroupBox(QStringLiteral("Link parameters"), this), "RadioGroup");
    auto* radioLayout = new QGridLayout(radio);
    radioLayout->setVerticalSpacing(2);
    struct Row {
        TNumEdit** field;
        const char* name;
        const char* caption;
        const char* unit;
    };
    const Row rows[] = {{&FREQ, "FREQ", "Frequency", "GHz"},
                        {&TX_H, "TX_H", "TX antenna height", "m"},
                        {&RX_H, "RX_H", "RX antenna height", "m"},
                        {&RH, "RH", "Relative humidity", "%"},
                        {&TEMPERATURE, "TEMPERATURE", "Temperature", "deg C"},
                        {&PRESSURE, "PRESSURE", "Pressure", "mB"},
                        {&Percent, "Percent", "Time percentage", "%"},
                        {&K_FACT, "K_FACT", "K-factor", ""}};
    int row = 0;
    for (const Row& r : rows) {
        *r.field = NumField(r.name, radio);
        radioLayout->addWidget(new QLabel(QString::fromLatin1(r.caption), radio), row, 0);
        radioLayout->addWidget(*r.field, row, 1);
        radioLayout->addWidget(new QLabel(QString::fromLatin1(r.unit), radio), row, 2);
        ++row;
    }
    ForcedKFactor = Named(new QCheckBox(QStringLiteral("Fixed"), radio), "ForcedKFactor");
    radioLayout->addWidget(ForcedKFactor, row - 1, 2);
    column->addWidget(radio);

    auto* options = Named(new QGroupBox(QStringLiteral("Profile"), this), "ProfileGroup");
    auto* optionLayout = new QGridLayout(options);
    FlatEarth = Named(new QCheckBox(QStringLiteral("Flat earth plot"), options), "FlatEarth");
    Metric = Named(new QRadioButton(QStringLiteral("metric"), options), "Metric");
    Imperial = Named(new QRadioButton(QStringLiteral("imperial"), options), "Imperial");
    INTERPOLATE = Named(new QCheckBox(QStringLiteral("Interpolate"), options), "INTERPOLATE");
    Metric->setChecked(true);
    optionLayout->addWidget(FlatEarth, 0, 0);
    optionLayout->addWidget(INTERPOLATE, 0, 1);
    optionLayout->addWidget(Metric, 1, 0);
    optionLayout->addWidget(Imperial, 1, 1);
    column->addWidget(options);
}

void TInputPage::BuildButtons(QVBoxLayout* column) {
    auto* buttons = new QGridLayout;
    CalculateBtn = Named(new QPushButton(QStringLiteral("Calculate"), this), "CalculateBtn");
    RESET = Named(new QPushButton(QStringLiteral("Reset"), this), "RESET");
    RESET->setToolTip(QStringLiteral("Resets input data to defaults"));
    SaveInitButton =
        Named(new QPushButton(QStringLiteral("Save input data"), this), "SaveInitButton");
    SaveInitButton->setToolTip(QStringLiteral("Saves input data in an ini file"));
    SaveResults = Named(new QPushButton(QStringLiteral("Save"), this), "SaveResults");
    SaveResults->setToolTip(QStringLiteral("Saves results to a file"));
    buttons->addWidget(CalculateBtn, 0, 0);
    buttons->addWidget(RESET, 0, 1);
    buttons->addWidget(SaveInitButton, 1, 0);
    buttons->addWidget(SaveResults, 1, 1);
    column->addLayout(buttons);
}

void TInputPage::BuildChart(QVBoxLayout* column) {
    Chart1 = Named(new TChartView(this), "Chart1");
    Chart1->setToolTip(QStringLiteral("Click and drag to zoom, Double click to copy"));
    Chart1->setMinimumSize(300, 200);
    auto* chart = Chart1->chart();
    chart->legend()->hide();
    chart->setTitle(QStringLiteral("Terrain"));
    Series1 = NamedArea("Series1", QStringLiteral("Terrain"), QColor(128, 64, 0));
    Series2 = NamedArea("Series2", QStringLiteral("Earth Bulge"), QColor(192, 192, 192));
    Clutter = NamedArea("Clutter", QStringLiteral("Clutter"), QColor(34, 139, 34));
    auto* clutterBase = new QLineSeries(Clutter);
    Clutter->setLowerSeries(clutterBase);
    Series8 = Line("Series8", QStringLiteral("LOS Line"), Qt::black);
    Series9 = Line("Series9", QStringLiteral("Lower Fresnel"), Qt::red);
    Series10 = Line("Series10", QStringLiteral("Upper Fresnel"), Qt::red);
    NoTerrain = NamedArea("NoTerrain", QStringLiteral("No terrain data"), QColor(128, 128, 128));
    NoTerrain->setBrush(QBrush(QColor(128, 128, 128), Qt::BDiagPattern));
    NoTerrain->setPen(QPen(QColor(128, 128, 128)));
    bottomAxis = new QValueAxis(chart);
    leftAxis = new QValueAxis(chart);
    bottomAxis->setTitleText(QStringLiteral("Range (km)"));
    leftAxis->setTitleText(QStringLiteral("Height (m)"));
    chart->addAxis(bottomAxis, Qt::AlignBottom);
    chart->addAxis(leftAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
             Series1, Series2, Clutter, NoTerrain, Series8, Series9, Series10}) {
        chart->addSeries(series);
        series->attachAxis(bottomAxis);
        series->attachAxis(leftAxis);
    }
    column->addWidget(Chart1, 1);

    auto* readout = new QHBoxLayout;
    CursorPos = Label("CursorPos", QStringLiteral("Cursor position"), this);
    ChartLocator = Label("ChartLocator", QStringLiteral("Locator"), this);
    ChartData = Label("ChartData", QStringLiteral("Location data"), this);
    PointData = Label("PointData", QStringLiteral("PointData"), this);
    for (QLabel* label : {ChartLocator, ChartData, PointData})
        label->setStyleSheet(QStringLiteral("color: blue"));
    for (QLabel* label : {CursorPos, ChartLocator, ChartData, PointData}) {
        // A long readout never widens the page on a small screen.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        readout->addWidget(label);
        KeepRoomWhenHidden(label);
    }
    readout->addStretch(1);
    column->addLayout(readout);
}

void TInputPage::BuildResults(QVBoxLayout* column) {
    auto* results = Named(new QGroupBox(QStringLiteral("Results"), this), "ResultsGroup");
    auto* resultLayout = new QGridLayout(results);
    StartHeight = Label("StartHeight", QStringLiteral("TX ASL"), results);
    EndHeight = Label("EndHeight", QStringLiteral("RX ASL"), results);
    FSLoss = Label("FSLoss", QStringLiteral("LOS Loss"), results);
    GasLoss = Label("GasLoss", QStringLiteral("Gas Loss"), results);
    DiffLoss = Label("DiffLoss", QStringLiteral("Diffraction Loss"), results);
    TropoLoss = Label("TropoLoss", QStringLiteral("Troposcatter Loss"), results);
    DuctLoss = Label("DuctLoss", QStringLiteral("Ducting Loss"), results);
    OverallLoss = Label("OverallLoss", QStringLiteral("Overall Loss"), results);
    EditionResult = Label("EditionResult", QString(), results);
    InvalidPath = Label("InvalidPath", QStringLiteral("Path too short"), results);
    InvalidPath->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    KeepRoomWhenHidden(InvalidPath);
    resultLayout->addWidget(StartHeight, 0, 0);
    resultLayout->addWidget(EndHeight, 0, 1);
    resultLayout->addWidget(FSLoss, 1, 0);
    resultLayout->addWidget(GasLoss, 1, 1);
    resultLayout->addWidget(DiffLoss, 2, 0);
    resultLayout->addWidget(TropoLoss, 2, 1);
    resultLayout->addWidget(DuctLoss, 3, 0);
    resultLayout->addWidget(OverallLoss, 3, 1);
    resultLayout->addWidget(EditionResult, 4, 0);
    resultLayout->addWidget(InvalidPath, 4, 1);
    column->addWidget(results);
}

void TInputPage::Connect() {
    const auto calculate = [this] { link.Calculate(); };
    connect(CalculateBtn, &QPushButton::clicked, this, calculate);
    // Enter in a location field calculates, as the button does.
    connect(StartLoc, &QLineEdit::returnPressed, this, calculate);
    connect(EndLoc, &QLineEdit::returnPressed, this, calculate);
    for (QRadioButton* button : {Metric, Imperial})
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) MetricClick();
        });
    connect(FlatEarth, &QCheckBox::toggled, this, &TInputPage::FlatEarthClick);
    connect(INTERPOLATE, &QCheckBox::toggled, this, &TInputPage::INTERPOLATEClick);
    connect(ForcedKFactor, &QCheckBox::toggled, this, &TInputPage::ForcedKFactorClick);
    for (QRadioButton* button : {DMS, DEG, NGR, LOC})
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) LOCClick();
        });
    connect(Panel1, &TPanel::Clicked, this, &TInputPage::Panel1Click);
    connect(Panel2, &TPanel::Clicked, this, &TInputPage::Panel2Click);
    connect(EditionBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        link.Edit(&LinkSetup::edition, shown.edition = index == 1 ? 18.0 : 14.0);
        EditionChanged();
        link.Calculate();
    });
    connect(PolarisationBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        link.Edit(&LinkSetup::polarisation, shown.polarisation = index);
        link.Calculate();
    });
    connect(RESET, &QPushButton::clicked, this, [this] { host.RESETClick(); });
    connect(SaveInitButton, &QPushButton::clicked, this, [this] { host.SaveInitButtonClick(); });
    connect(SaveResults, &QPushButton::clicked, this, &TInputPage::SaveResultsClick);
    connect(Chart1, &TChartView::MouseMoved, this, &TInputPage::Chart1MouseMove);
    connect(Chart1, &TChartView::MouseLeft, this, &TInputPage::Chart1MouseLeave);
    connect(Chart1, &TChartView::DoubleClicked, this, &TInputPage::Chart1DblClick);
    AddImageMenu(Chart1, host, QStringLiteral("profile"), QStringLiteral("Chart"));
}

std::array<std::pair<TNumEdit*, double LinkSetup::*>, 12> TInputPage::NumberFields() const {
    return {{{FREQ, &LinkSetup::frequency},
             {TX_H, &LinkSetup::txHeight},
             {RX_H, &LinkSetup::rxHeight},
             {RH, &LinkSetup::humidity},
             {TEMPERATURE, &LinkSetup::temperature},
             {PRESSURE, &LinkSetup::pressure},
             {Percent, &LinkSetup::percent},
             {K_FACT, &LinkSetup::kFactor},
             {Range, &LinkSetup::range},
             {Bearing, &LinkSetup::bearing},
             {TX_GAIN, &LinkSetup::txGain},
             {RX_GAIN, &LinkSetup::rxGain}}};
}

QRadioButton* TInputPage::FormatButton(int format) const {
    QRadioButton* const buttons[] = {LOC, NGR, DEG, DMS}; // in format order
    return buttons[std::clamp(format, 0, 3)];
}

// The controls edit the controller's inputs as they change; the
// controller's changes and results come back by signal.
void TInputPage::ConnectLink() {
    for (const auto& [field, member] : NumberFields())
        connect(field, &QLineEdit::textChanged, this, [this, field = field, member = member] {
            if (!field->IsAcceptable()) return; // the last number stays until it is one
            double value = 0.0;
            TNumEdit::ParseNumber(field->text(), value);
            link.Edit(member, shown.*member = value);
        });
    for (const bool start : {true, false})
        connect(start ? StartLoc : EndLoc, &QLineEdit::textChanged, this,
                [this, start](const QString& text) {
                    link.EditText(start, text.toStdString());
                    (start ? shown.startText : shown.endText) = text.toStdString();
                });
    link.SetInputCheck([this](bool report) { return FieldsAcceptable(report); });
    connect(&link, &TLinkController::Changed, this, &TInputPage::ShowSetup);
    connect(&link, &TLinkController::Started, this, &TInputPage::HideReadout);
    connect(&link, &TLinkController::Cleared, this, &TInputPage::ClearResults);
    connect(&link, &TLinkController::PathTooShort, this, &TInputPage::ShowPathTooShort);
    connect(&link, &TLinkController::EndHeights, this, &TInputPage::ShowEndHeights);
    connect(&link, &TLinkController::BackBearing, this, &TInputPage::ShowBackBearing);
    connect(&link, &TLinkController::GasLoss, this, &TInputPage::ShowGasLoss);
    connect(&link, &TLinkController::RangeBearing, this, &TInputPage::ShowRangeBearing);
    connect(&link, &TLinkController::Calculated, this, &TInputPage::ShowResults);
    ShowSetup();
}

void TInputPage::ShowSetup() {
    const LinkSetup& setup = link.Setup();
    // A field the user is typing into keeps its text unless the input
    // itself changed.
    for (const auto& [field, member] : NumberFields())
        if (setup.*member != shown.*member) {
            shown.*member = setup.*member;
            field->SetValue(setup.*member);
        }
    for (const bool start : {true, false}) {
        const std::string& text = start ? setup.startText : setup.endText;
        std::string& was = start ? shown.startText : shown.endText;
        if (text != was) (start ? StartLoc : EndLoc)->setText(QString::fromStdString(text));
        was = text;
    }
    // The switches and choices, without their handlers.
    const QSignalBlocker blockers[] = {QSignalBlocker(LOC),
                                       QSignalBlocker(NGR),
                                       QSignalBlocker(DEG),
                                       QSignalBlocker(DMS),
                                       QSignalBlocker(Metric),
                                       QSignalBlocker(Imperial),
                                       QSignalBlocker(ForcedKFactor),
                                       QSignalBlocker(INTERPOLATE),
                                       QSignalBlocker(FlatEarth),
                                       QSignalBlocker(EditionBox),
                                       QSignalBlocker(PolarisationBox)};
    FormatButton(setup.Format())->setChecked(true);
    (setup.Metric() ? Metric : Imperial)->setChecked(true);
    ForcedKFactor->setChecked(setup.ForcedK());
    INTERPOLATE->setChecked(setup.interpolate);
    FlatEarth->setChecked(setup.flatEarth);
    EditionBox->setCurrentIndex(setup.EditionUsed() == Edition::P452_18 ? 1 : 0);
    PolarisationBox->setCurrentIndex(setup.polarisation == 1.0 ? 1 : 0);
    shown.locatorFormat = setup.locatorFormat;
    shown.metric = setup.metric;
    shown.forcedK = setup.forcedK;
    shown.interpolate = setup.interpolate;
    shown.flatEarth = setup.flatEarth;
    shown.edition = setup.edition;
    shown.polarisation = setup.polarisation;
    ForcedKFactorColour();
    EditionChanged();
    ShowInputMode(setup.StartEnd());
}

bool TInputPage::FieldsAcceptable(bool report) {
    // A field whose text is not a number or lies outside its limits stops
    // the calculation (rather than run the engine on 0 or on a value it is
    // not made for); the field reports it unless its exit check just did.
    const bool rangeBearing = !link.Setup().StartEnd();
    const std::initializer_list<TNumEdit*> fields = {FREQ,
                                                     TX_H,
                                                     RX_H,
                                                     RH,
                                                     TEMPERATURE,
                                                     PRESSURE,
                                                     Percent,
                                                     TX_GAIN,
                                                     RX_GAIN,
                                                     ForcedKFactor->isChecked() ? K_FACT : nullptr,
                                                     rangeBearing ? Range : nullptr,
                                                     rangeBearing ? Bearing : nullptr};
    if (report) return TNumEdit::AllAcceptable(fields);
    for (const TNumEdit* field : fields)
        if (field && !field->IsAcceptable()) return false;
    return true;
}

void TInputPage::ShowEndHeights(const QString& tx, const QString& rx) {
    EndHeight->setText(rx);
    StartHeight->setText(tx);
}

void TInputPage::ShowBackBearing(double bearing) {
    BackBearing->setText(QStringLiteral("(Back bearing ") + Fixed(bearing, 4, 1) +
                         QStringLiteral(" deg)"));
}

void TInputPage::ShowGasLoss(double gasLoss) {
    if (CurrentEdition() == Edition::P452_18) {
        GasLoss->setText(QStringLiteral("Gaseous loss: inside each loss (P.676-11)"));
        return;
    }
    GasLoss->setText(QStringLiteral("Gaseous Loss: ") + Fixed(gasLoss, 6, 1) +
                     QStringLiteral(" dB"));
}

// P.452-18 reads the polarisation and the gains, never the humidity.
void TInputPage::EditionChanged() {
    const bool edition18 = CurrentEdition() == Edition::P452_18;
    PolarisationBox->setEnabled(edition18);
    TX_GAIN->setEnabled(edition18);
    RX_GAIN->setEnabled(edition18);
    RH->setEnabled(!edition18);
    RH->setToolTip(edition18 ? QStringLiteral("Relative humidity plays no part in ITU-R P.452-18: "
                                              "its gaseous absorption takes a fixed water-vapour "
                                              "density")
                             : QStringLiteral("Relative humidity, %"));
    PRESSURE->setToolTip(edition18 ? QStringLiteral("Dry-air pressure, hPa (ITU-R P.452-18)")
                                   : QStringLiteral("Atmospheric pressure, hPa"));
}

void TInputPage::ShowRangeBearing() {
    const bool metric = Metric->isChecked();
    RangeUnitLabel->setText(metric ? QStringLiteral("km") : QStringLiteral("mls"));
    // Range and bearing as typed stay as typed: the receiver's location
    // text is rounded, and measuring it back would shorten them a little
    // at every calculation.
    if (!link.Setup().StartEnd()) return;
    CPath path;
    path.SetPath(host.State().txLocation, host.State().rxLocation);
    double range = 0.0;
    double bearing = 0.0;
    path.GetRangeBearing(range, bearing);
    Bearing->setText(Fixed(bearing, 4, 1));
    Range->setText(Fixed(metric ? range : range / kmPerMile, 6, 1));
}

void TInputPage::ShowInputMode(bool startEnd) {
    const QColor highlight = palette().color(QPalette::Light);
    const QColor face = palette().color(QPalette::Button);
    SetColour(startEnd ? Panel2 : Panel1, QPalette::Window, highlight);
    SetColour(startEnd ? Panel1 : Panel2, QPalette::Window, face);
    EndLoc->setReadOnly(!startEnd);
    SetColour(EndLoc, QPalette::Base,
              startEnd ? palette().color(QPalette::Base) : QColor(192, 192, 192));
    Range->setReadOnly(startEnd);
    Bearing->setReadOnly(startEnd);
}

void TInputPage::ShowPathTooShort() {
    InvalidPath->setText(QStringLiteral("Path too short"));
    InvalidPath->show();
}

// The results of an earlier calculation never stand beside inputs they do
// not belong to: the losses read "-", the chart is emptied, and the red
// line says why.
void TInputPage::ClearResults(const QString& reason) {
    const std::pair<QLabel*, const char*> losses[] = {
        {FSLoss, "Line of sight loss: "},        {DiffLoss, "Diffraction path loss: "},
        {TropoLoss, "Troposcatter path loss: "}, {DuctLoss, "Ducting path loss: "},
        {OverallLoss, "Overall path loss: "},
    };
    for (const auto& [label, text] : losses)
        label->setText(QString::fromLatin1(text) + QStringLiteral("-"));
    for (QXYSeries* series : Chart1->chart()->findChildren<QXYSeries*>())
        series->clear();
    Chart1->chart()->setTitle(QStringLiteral("Terrain"));
    InvalidPath->setText(reason);
    InvalidPath->show();
}

void TInputPage::ShowResults(const CTerrain& engine, double gasLoss) {
    InvalidPath->hide();
    EditionResult->setText(EditionTitle(engine.edition));
    const PathLossResult& l = engine.loss;
    const auto loss = [&](QLabel* label, const char* text, double value) {
        label->setText(QString::fromLatin1(text) + Fixed(TotalLossDb(value, gasLoss), 3, 0) +
                       QStringLiteral(" dB"));
    };
    loss(FSLoss, "Line of sight loss: ", l.lb0p);
    loss(DiffLoss, "Diffraction path loss: ", l.lbd);
    loss(TropoLoss, "Troposcatter path loss: ", l.lbs);
    loss(DuctLoss, "Ducting path loss: ", l.lba);
    loss(OverallLoss, "Overall path loss: ", l.lb);
    ShowProfileChart(engine);
}

void TInputPage::Panel1Click() {
    link.SetInputMode(false);
}

void TInputPage::Panel2Click() {
    link.SetInputMode(true);
}

void TInputPage::MetricClick() {
    link.Edit(&LinkSetup::metric, shown.metric = Metric->isChecked() ? 1.0 : 0.0);
    link.Calculate();
}

void TInputPage::FlatEarthClick() {
    link.EditSwitch(&LinkSetup::flatEarth, shown.flatEarth = FlatEarth->isChecked());
    link.Calculate();
}

void TInputPage::INTERPOLATEClick() {
    link.EditSwitch(&LinkSetup::interpolate, shown.interpolate = INTERPOLATE->isChecked());
}

void TInputPage::ForcedKFactorClick() {
    link.Edit(&LinkSetup::forcedK, shown.forcedK = ForcedKFactor->isChecked() ? 1.0 : 0.0);
    ForcedKFactorColour();
}

void TInputPage::ForcedKFactorColour() {
    SetColour(K_FACT, QPalette::Base,
              ForcedKFactor->isChecked() ? QColor(Qt::red)
                                         : palette().color(QPalette::Inactive, QPalette::Window));
}

void TInputPage::LOCClick() {
    for (int format = 0; format < 4; ++format)
        if (FormatButton(format)->isChecked()) link.SetLocatorFormat(format);
}

} // namespace kestrova
