// The window's pages and controls, and the connections to their handlers.
#include "app/About.h"
#include "app/ChartView.h"
#include "app/HelpBrowser.h"
#include "app/MainForm.h"
#include "app/Panel.h"
#include "controls/NumEdit.h"
#include "controls/NumericFields.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QClipboard>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace kestrova {
namespace {

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* Label(const char* name, const QString& caption, QWidget* parent) {
    return Named(new QLabel(caption, parent), name);
}

QLabel* BlueLabel(const char* name, const QString& caption, QWidget* parent) {
    QLabel* label = Label(name, caption, parent);
    label->setStyleSheet(QStringLiteral("color: blue"));
    return label;
}

QLineSeries* Line(const char* name, const QString& title, const QColor& colour) {
    auto* series = Named(new QLineSeries, name);
    series->setName(title);
    QPen pen(colour);
    pen.setWidthF(1.0);
    series->setPen(pen);
    return series;
}

QAreaSeries* Area(const char* name, const QString& title, const QColor& colour) {
    auto* upper = new QLineSeries;
    auto* series = Named(new QAreaSeries(upper), name);
    upper->setParent(series);
    series->setName(title);
    series->setBrush(colour);
    series->setPen(QPen(colour));
    return series;
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Kestrova"));
    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    setCentralWidget(PageControl1);
    const char* const captions[] = {"Input Data",    "Tabulated Data",  "Radio Refractivity Data",
                                    "Terrain Map",   "Zone Map",        "Mechanisms",
                                    "Area Coverage", "Site Evaluation", "Site Database"};
    const char* const names[] = {"TabSheet0", "TabSheet2", "TabSheet1", "TabSheet3", "TabSheet4",
                                 "TabSheet5", "TabSheet6", "TabSheet7", "TabSheet8"};
    for (int i = 0; i < 9; ++i)
        PageControl1->addTab(Named(new QWidget(PageControl1), names[i]),
                             QString::fromLatin1(captions[i]));
    BuildInputPage(PageControl1->widget(0));
    BuildTablePage(PageControl1->widget(1));
    BuildRefractivityPage(PageControl1->widget(2));
    BuildLaterPages();
    BuildMenu();

    dataStatus = Named(new QLabel(this), "DataStatus");
    statusBar()->addWidget(dataStatus, 1);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        state.abortRequested = true; // leaving a page stops its long work
        if (index == 2) TabSheet1Show();
    });
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this,
            [this] { HelpTopic(QStringLiteral("Introduction")); });

    resultsFileName = QStringLiteral("results.dat");
    profileTableFileName = QStringLiteral("profile.dat");
    resize(1180, 800);
}

TMainForm::~TMainForm() = default;

TNumEdit* TMainForm::NumField(const char* name, QWidget* parent) {
    return new TNumEdit(FindNumericField(name), parent);
}

void TMainForm::BuildInputPage(QWidget* page) {
    auto* columns = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 0);

    // Locations: the two ends, or the start with range and bearing.
    Panel2 = Named(new TPanel(page), "Panel2");
    Panel2->setFrameShape(QFrame::StyledPanel);
    Panel2->setAutoFillBackground(true);
    auto* ends = new QFormLayout(Panel2);
    StartLoc = Named(new QLineEdit(Panel2), "StartLoc");
    EndLoc = Named(new QLineEdit(Panel2), "EndLoc");
    StartLoc->setToolTip(QStringLiteral("Transmitter (start) location"));
    EndLoc->setToolTip(QStringLiteral("Receiver (end) location"));
    ends->addRow(QStringLiteral("TX location"), StartLoc);
    ends->addRow(QStringLiteral("RX location"), EndLoc);
    left->addWidget(Panel2);

    Panel1 = Named(new TPanel(page), "Panel1");
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
    left->addWidget(Panel1);

    auto* formats = Named(new QGroupBox(QStringLiteral("Location format"), page), "FormatGroup");
    auto* formatLayout = new QVBoxLayout(formats);
    DMS = Named(new QRadioButton(QStringLiteral("Degrees Minutes Seconds "), formats), "DMS");
    DEG = Named(new QRadioButton(QStringLiteral("Decimal Degrees"), formats), "DEG");
    NGR = Named(new QRadioButton(QStringLiteral("OSGB Grid Reference"), formats), "NGR");
    LOC = Named(new QRadioButton(QStringLiteral("Maidenhead Locator"), formats), "LOC");
    for (QRadioButton* button : {DMS, DEG, NGR, LOC})
        formatLayout->addWidget(button);
    NGR->setChecked(true);
    left->addWidget(formats);

    auto* radio = Named(new QGroupBox(QStringLiteral("Link parameters"), page), "RadioGroup");
    auto* radioLayout = new QGridLayout(radio);
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
    left->addWidget(radio);

    auto* options = Named(new QGroupBox(QStringLiteral("Profile"), page), "ProfileGroup");
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
    left->addWidget(options);

    auto* buttons = new QGridLayout;
    CalculateBtn = Named(new QPushButton(QStringLiteral("Calculate"), page), "CalculateBtn");
    RESET = Named(new QPushButton(QStringLiteral("Reset"), page), "RESET");
    RESET->setToolTip(QStringLiteral("Resets input data to defaults"));
    SaveInitButton =
        Named(new QPushButton(QStringLiteral("Save input data"), page), "SaveInitButton");
    SaveInitButton->setToolTip(QStringLiteral("Saves input data in an ini file"));
    SaveResults = Named(new QPushButton(QStringLiteral("Save"), page), "SaveResults");
    SaveResults->setToolTip(QStringLiteral("Saves results to a file"));
    buttons->addWidget(CalculateBtn, 0, 0);
    buttons->addWidget(RESET, 0, 1);
    buttons->addWidget(SaveInitButton, 1, 0);
    buttons->addWidget(SaveResults, 1, 1);
    left->addLayout(buttons);
    left->addStretch(1);

    // Right: the profile chart, its readout and the results.
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    Chart1 = Named(new TChartView(page), "Chart1");
    Chart1->setToolTip(QStringLiteral("Click and drag to zoom, Double click to copy"));
    auto* chart = Chart1->chart();
    chart->legend()->hide();
    chart->setTitle(QStringLiteral("Terrain"));
    Series1 = Area("Series1", QStringLiteral("Terrain"), QColor(128, 64, 0));
    Series2 = Area("Series2", QStringLiteral("Earth Bulge"), QColor(192, 192, 192));
    Series8 = Line("Series8", QStringLiteral("LOS Line"), Qt::black);
    Series9 = Line("Series9", QStringLiteral("Lower Fresnel"), Qt::red);
    Series10 = Line("Series10", QStringLiteral("Upper Fresnel"), Qt::red);
    bottomAxis = new QValueAxis(chart);
    leftAxis = new QValueAxis(chart);
    bottomAxis->setTitleText(QStringLiteral("Range (km)"));
    leftAxis->setTitleText(QStringLiteral("Height (m)"));
    chart->addAxis(bottomAxis, Qt::AlignBottom);
    chart->addAxis(leftAxis, Qt::AlignLeft);
    for (QAbstractSeries* series :
         std::initializer_list<QAbstractSeries*>{Series1, Series2, Series8, Series9, Series10}) {
        chart->addSeries(series);
        series->attachAxis(bottomAxis);
        series->attachAxis(leftAxis);
    }
    right->addWidget(Chart1, 1);

    auto* readout = new QHBoxLayout;
    CursorPos = Label("CursorPos", QStringLiteral("Cursor position"), page);
    ChartLocator = BlueLabel("ChartLocator", QStringLiteral("Locator"), page);
    ChartData = BlueLabel("ChartData", QStringLiteral("Location data"), page);
    PointData = BlueLabel("PointData", QStringLiteral("PointData"), page);
    for (QLabel* label : {CursorPos, ChartLocator, ChartData, PointData}) {
        readout->addWidget(label);
        label->hide();
    }
    readout->addStretch(1);
    right->addLayout(readout);

    auto* results = Named(new QGroupBox(QStringLiteral("Results"), page), "ResultsGroup");
    auto* resultLayout = new QGridLayout(results);
    StartHeight = Label("StartHeight", QStringLiteral("TX ASL"), results);
    EndHeight = Label("EndHeight", QStringLiteral("RX ASL"), results);
    FSLoss = Label("FSLoss", QStringLiteral("LOS Loss"), results);
    GasLoss = Label("GasLoss", QStringLiteral("Gas Loss"), results);
    DiffLoss = Label("DiffLoss", QStringLiteral("Diffraction Loss"), results);
    TropoLoss = Label("TropoLoss", QStringLiteral("Troposcatter Loss"), results);
    DuctLoss = Label("DuctLoss", QStringLiteral("Ducting Loss"), results);
    OverallLoss = Label("OverallLoss", QStringLiteral("Overall Loss"), results);
    InvalidPath = Label("InvalidPath", QStringLiteral("Path too short"), results);
    InvalidPath->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    InvalidPath->hide();
    resultLayout->addWidget(StartHeight, 0, 0);
    resultLayout->addWidget(EndHeight, 0, 1);
    resultLayout->addWidget(FSLoss, 1, 0);
    resultLayout->addWidget(GasLoss, 1, 1);
    resultLayout->addWidget(DiffLoss, 2, 0);
    resultLayout->addWidget(TropoLoss, 2, 1);
    resultLayout->addWidget(DuctLoss, 3, 0);
    resultLayout->addWidget(OverallLoss, 3, 1);
    resultLayout->addWidget(InvalidPath, 4, 0, 1, 2);
    right->addWidget(results);

    connect(CalculateBtn, &QPushButton::clicked, this, &TMainForm::CalculateBtnClick);
    connect(Metric, &QRadioButton::toggled, this, [this](bool on) {
        if (on) MetricClick();
    });
    connect(Imperial, &QRadioButton::toggled, this, [this](bool on) {
        if (on) MetricClick();
    });
    connect(FlatEarth, &QCheckBox::toggled, this, &TMainForm::FlatEarthClick);
    connect(INTERPOLATE, &QCheckBox::toggled, this, &TMainForm::INTERPOLATEClick);
    connect(ForcedKFactor, &QCheckBox::toggled, this, &TMainForm::ForcedKFactorClick);
    for (QRadioButton* button : {DMS, DEG, NGR, LOC})
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) LOCClick();
        });
    connect(Panel1, &TPanel::Clicked, this, &TMainForm::Panel1Click);
    connect(Panel2, &TPanel::Clicked, this, &TMainForm::Panel2Click);
    connect(RESET, &QPushButton::clicked, this, &TMainForm::RESETClick);
    connect(SaveInitButton, &QPushButton::clicked, this, &TMainForm::SaveInitButtonClick);
    connect(SaveResults, &QPushButton::clicked, this, &TMainForm::SaveResultsClick);
    connect(Chart1, &TChartView::MouseMoved, this, &TMainForm::Chart1MouseMove);
    connect(Chart1, &TChartView::MouseLeft, this, &TMainForm::Chart1MouseLeave);
    connect(Chart1, &TChartView::DoubleClicked, this, &TMainForm::Chart1DblClick);
    ForcedKFactorClick();
    ShowInputMode(true);
}

void TMainForm::BuildTablePage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    auto* group = Named(new QGroupBox(QStringLiteral("Profile Data (double click to save)"), page),
                        "ProfileGroupBox");
    auto* groupLayout = new QVBoxLayout(group);
    Profile = Named(new QListWidget(group), "Profile");
    Profile->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Profile->setFlow(QListView::TopToBottom);
    Profile->setWrapping(true);
    Profile->setResizeMode(QListView::Adjust);
    groupLayout->addWidget(Profile);
    layout->addWidget(group);
    connect(Profile, &QListWidget::itemDoubleClicked, this, &TMainForm::ProfileDblClick);
}

void TMainForm::BuildRefractivityPage(QWidget* page) {
    auto* layout = new QHBoxLayout(page);
    auto group = [&](const char* name, const QString& title) {
        auto* box = Named(new QGroupBox(title, page), name);
        auto* form = new QFormLayout(box);
        layout->addWidget(box);
        return std::pair{box, form};
    };
    auto value = [](QFormLayout* form, QWidget* box, const char* name, const QString& caption) {
        QLabel* label = Label(name, QStringLiteral("-"), box);
        form->addRow(caption, label);
        return label;
    };
    auto [tx, txForm] = group("TXGroup", QStringLiteral("Transmitter site Refractivity data"));
    PTime = value(txForm, tx, "PTime", QStringLiteral("Percentage time"));
    TXN_0 = value(txForm, tx, "TXN_0", QStringLiteral("Surface refractivity"));
    TXDNDZ = value(txForm, tx, "TXDNDZ", QStringLiteral("Refractivity gradient"));
    TXBETA0 = value(txForm, tx, "TXBETA0", QStringLiteral("Surface duct occurence"));
    TXBETAE = value(txForm, tx, "TXBETAE", QStringLiteral("Elevated duct occurence"));
    auto [rx, rxForm] = group("RXGroup", QStringLiteral("Receiver site Refractivity data"));
    RXN_0 = value(rxForm, rx, "RXN_0", QStringLiteral("Mean surface refractivity"));
    RXDNDZ = value(rxForm, rx, "RXDNDZ", QStringLiteral("Mean refractivity gradient"));
    RXBETA0 = value(rxForm, rx, "RXBETA0", QStringLiteral("Surface duct occurence"));
    RXBETAE = value(rxForm, rx, "RXBETAE", QStringLiteral("Elevated duct occurence"));
    auto [path, pathForm] = group("PathGroup", QStringLiteral("Path data"));
    Kfact = value(pathForm, path, "Kfact", QStringLiteral("Path Median K-factor"));
    RHO = value(pathForm, path, "RHO", QStringLiteral("Water vapour density"));
    BETA0 = value(pathForm, path, "BETA0", QStringLiteral("Path Beta0"));
    BETA0->setToolTip(QStringLiteral(
        "This is the the time percentage that lapse rates exceeding 100N units /km can be "
        "expected in the first 100m of the lower atmosphere"));
    SEAFRACTION = value(pathForm, path, "SEAFRACTION", QStringLiteral("Fraction of path over sea"));
    DCT = value(pathForm, path, "DCT", QStringLiteral("Coastal distance"));
    DCR = value(pathForm, path, "DCR", QStringLiteral("Coastal distance"));
    PLEN = value(pathForm, path, "PLEN", QStringLiteral("Path length"));
}

void TMainForm::BuildLaterPages() {
    // Terrain Map: palette, contours and height limits (drawn by the map view).
    QWidget* terrain = PageControl1->widget(3);
    auto* terrainLayout = new QHBoxLayout(terrain);
    auto* mapControls = new QVBoxLayout;
    terrainLayout->addLayout(mapControls);
    auto* palettes = Named(new QGroupBox(QStringLiteral("Palette"), terrain), "PaletteGroup");
    auto* paletteLayout = new QVBoxLayout(palettes);
    const char* const paletteNames[] = {"HSVSELECT",   "DEMSELECT",  "JETSELECT",
                                        "DEM15SELECT", "NCARSELECT", "SCHWARZWALDSELECT"};
    const char* const paletteCaptions[] = {"HSV", "DEM", "JET", "DEM 15", "NCAR", "Schwarzwald"};
    for (std::size_t i = 0; i < paletteButtons.size(); ++i) {
        paletteButtons[i] = Named(
            new QRadioButton(QString::fromLatin1(paletteCaptions[i]), palettes), paletteNames[i]);
        paletteLayout->addWidget(paletteButtons[i]);
        connect(paletteButtons[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on) PaletteButtonClick();
        });
    }
    mapControls->addWidget(palettes);
    ShowContours = Named(new QCheckBox(QStringLiteral("Show contours"), terrain), "ShowContours");
    connect(ShowContours, &QCheckBox::toggled, this, &TMainForm::ShowContoursClick);
    mapControls->addWidget(ShowContours);
    auto* limits = new QFormLayout;
    limits->addRow(QStringLiteral("Contour spacing"), NumField("ContourSpacing", terrain));
    limits->addRow(QStringLiteral("Max height"), NumField("MaxHeight", terrain));
    limits->addRow(QStringLiteral("Min height"), NumField("MinHeight", terrain));
    mapControls->addLayout(limits);
    mapControls->addStretch(1);
    for (const char* name : {"LinkMap", "TXLocal", "RXLocal"}) {
        QLabel* image = Label(name, QString(), terrain);
        image->setMinimumSize(200, 200);
        terrainLayout->addWidget(image, 1);
    }

    QWidget* zone = PageControl1->widget(4);
    (new QVBoxLayout(zone))->addWidget(Label("ZoneMap", QString(), zone), 1);

    QWidget* mechanisms = PageControl1->widget(5);
    Chart2 = Named(new TChartView(mechanisms), "Chart2");
    Chart2->chart()->legend()->show();
    (new QVBoxLayout(mechanisms))->addWidget(Chart2, 1);
    connect(Chart2, &TChartView::DoubleClicked, this, &TMainForm::Chart2DblClick);

    QWidget* coverage = PageControl1->widget(6);
    auto* coverageLayout = new QHBoxLayout(coverage);
    auto* coverageForm = new QFormLayout;
    coverageForm->addRow(QStringLiteral("Range (km)"), NumField("CoverageRange", coverage));
    coverageForm->addRow(QStringLiteral("Resolution"), NumField("CoverageResolution", coverage));
    coverageForm->addRow(QStringLiteral("Max"), NumField("MaxLoss", coverage));
    coverageForm->addRow(QStringLiteral("Min"), NumField("MinLoss", coverage));
    coverageLayout->addLayout(coverageForm);
    coverageLayout->addWidget(Label("CoverageMap", QString(), coverage), 1);
    coverageLayout->addWidget(Label("ColourScale", QString(), coverage));

    QWidget* evaluation = PageControl1->widget(7);
    auto* evaluationLayout = new QHBoxLayout(evaluation);
    auto* panel6 = Named(new TPanel(evaluation), "Panel6");
    auto* panel7 = Named(new TPanel(evaluation), "Panel7");
    auto* panel6Form = new QFormLayout(panel6);
    panel6Form->addRow(QStringLiteral("Range"), NumField("EvalRange", panel6));
    panel6Form->addRow(QStringLiteral("Bearing"), NumField("EvalBearing", panel6));
    auto* panel7Form = new QFormLayout(panel7);
    panel7Form->addRow(QStringLiteral("Power (W)"), NumField("EvalPower", panel7));
    panel7Form->addRow(QStringLiteral("Gain (dBi)"), NumField("EvalGain", panel7));
    for (TPanel* panel : {panel6, panel7}) {
        panel->setFrameShape(QFrame::StyledPanel);
        evaluationLayout->addWidget(panel);
        connect(panel, &TPanel::Clicked, this, &TMainForm::Panel1Click);
    }
    evaluationLayout->addStretch(1);
}

void TMainForm::BuildMenu() {
    QAction* terrain = menuBar()->addAction(QStringLiteral("Terrain Directory..."));
    terrain->setObjectName(QStringLiteral("TerrainDirectory1"));
    connect(terrain, &QAction::triggered, this, &TMainForm::ChooseTerrainDirectoryClick);
    QAction* help1 = menuBar()->addAction(QStringLiteral("Help"));
    help1->setObjectName(QStringLiteral("Help1"));
    QAction* about1 = menuBar()->addAction(QStringLiteral("About"));
    about1->setObjectName(QStringLiteral("About1"));
    connect(help1, &QAction::triggered, this, &TMainForm::Help1Click);
    connect(about1, &QAction::triggered, this, &TMainForm::About1Click);
}

} // namespace kestrova
