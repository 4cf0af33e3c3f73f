// The "Area Coverage" page: its controls, the page's show handler and the
// copy of the map (see CoveragePage.h).
#include "app/pages/CoveragePage.h"

#include "app/pages/ImageTools.h"
#include "app/pages/MapView.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/UserDialogs.h"
#include "coverage/Coverage.h"
#include "coverage/CoverageRaster.h"
#include "coverage/CoverageScale.h"
#include "settings/SettingsFile.h"

#include <QCheckBox>
#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrova {

TCoveragePage::TCoveragePage(TPageHost& pageHost)
    : TPage(pageHost, "Coverage", QStringLiteral("Area Coverage")) {
    auto* columns = new QHBoxLayout(this);
    auto* controls = new QVBoxLayout;
    BuildMapControl(controls);
    columns->addLayout(controls);

    auto* centre = new QVBoxLayout;
    CoverageMap = new TMapView("CoverageMap", coverageMapSize, coverageMapSize, this);
    CoverageMap->setToolTip(QStringLiteral("Double click to copy"));
    CoverageMap->installEventFilter(this);
    CoverageProgress = Named(new QProgressBar(this), "CoverageProgress");
    CoverageProgress->setFixedWidth(coverageMapSize);
    CoverageProgress->setTextVisible(true);
    CoverageProgress->setFormat(QString());
    CoverageProgress->setValue(0);
    // Under the bar: how much of the last map had no terrain, when any.
    CoverageTerrainNote = Label("CoverageTerrainNote", QString(), this);
    CoverageTerrainNote->setStyleSheet(QStringLiteral("color: red"));
    CoverageTerrainNote->setWordWrap(true);
    CoverageTerrainNote->setFixedWidth(coverageMapSize);
    CoverageTerrainNote->hide();
    centre->addWidget(CoverageMap);
    centre->addWidget(CoverageProgress);
    centre->addWidget(CoverageTerrainNote);
    centre->addStretch(1);
    columns->addLayout(centre);

    auto* right = new QVBoxLayout;
    ScaleMax = Label("ScaleMax", QStringLiteral("max"), this);
    ColourScale = new TMapView("ColourScale", colourScaleWidth, colourScaleHeight, this);
    ScaleMin = Label("ScaleMin", QStringLiteral("min"), this);
    // The values between the ends, each beside the band edge it names.
    ScaleTicks = Named(new QWidget(this), "ScaleTicks");
    ScaleTicks->setFixedSize(100, colourScaleHeight);
    for (std::size_t i = 0; i < scaleTicks.size(); ++i) {
        const QByteArray name = "ScaleTick" + QByteArray::number(static_cast<int>(i + 1));
        scaleTicks[i] = Label(name.constData(), QString(), ScaleTicks);
    }
    auto* bar = new QHBoxLayout;
    bar->setSpacing(4);
    bar->addWidget(ColourScale);
    bar->addWidget(ScaleTicks);
    bar->addStretch(1);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{ScaleMax, ColourScale, ScaleTicks, ScaleMin}) {
        // The hidden bar keeps its place, so nothing below it moves.
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    right->addWidget(ScaleMax);
    right->addLayout(bar);
    right->addWidget(ScaleMin);
    right->addSpacing(12);
    right->addWidget(BuildSystemData());
    right->addStretch(1);
    columns->addLayout(right);
    columns->addStretch(1);
    HideScale();

    previewTimer = new QTimer(this);
    previewTimer->setInterval(previewInterval);
    connect(previewTimer, &QTimer::timeout, this, &TCoveragePage::PollCoverage);
    connect(PlotCoverage, &QPushButton::clicked, this, &TCoveragePage::PlotCoverageClick);
    connect(Abort, &QPushButton::clicked, this, &TCoveragePage::AbortClick);
    connect(ExportKMZ, &QPushButton::clicked, this, &TCoveragePage::ExportKMZClick);
    connect(ExportGeoTiff, &QPushButton::clicked, this, &TCoveragePage::ExportGeoTiffClick);
    for (QRadioButton* mode : {CoverageTerrain, Colourfull, Monochrome})
        connect(mode, &QRadioButton::toggled, this, [this](bool on) {
            if (on) DisplayModeChanged();
        });
    connect(LossContours, &QCheckBox::toggled, this, &TCoveragePage::DisplayModeChanged);
    AddImageMenu(CoverageMap, host, QStringLiteral("coverage-map"), QStringLiteral("Map"));
}

// Workers still running (the window destroyed during a map) are stopped
// and joined by the job's own destructor.
TCoveragePage::~TCoveragePage() = default;

void TCoveragePage::BuildMapControl(QVBoxLayout* column) {
    auto* group = Named(new QGroupBox(QStringLiteral("Map Control"), this), "MapControl");
    auto* layout = new QVBoxLayout(group);
    auto* fields = new QGridLayout;
    struct Field {
        TNumEdit*& edit;
        const char* name;
        const char* caption;
    };
    const Field rows[] = {
        {CoverageRange, "CoverageRange", "Range (km)"},
        {CoverageResolution, "CoverageResolution", "Resolution (arcsec)"},
        {MaxLoss, "MaxLoss", "Maximum fs (dBµV/m)"},
        {MinLoss, "MinLoss", "Minimum fs (dBµV/m)"},
        {MaxHeight, "MaxHeight", "Max height (m)"},
        {MinHeight, "MinHeight", "Min height (m)"},
    };
    int row = 0;
    for (const Field& field : rows) {
        field.edit = NumField(field.name, group);
        fields->addWidget(new QLabel(QString::fromUtf8(field.caption), group), row, 0);
        fields->addWidget(field.edit, row++, 1);
    }
    layout->addLayout(fields);

    CoverageTerrain = Named(new QRadioButton(QStringLiteral("Show Highlighted Terrain"), group),
                            "CoverageTerrain");
    Colourfull = Named(new QRadioButton(QStringLiteral("Show as colour map"), group), "Colourfull");
    Monochrome = Named(new QRadioButton(QStringLiteral("Show in monochrome"), group), "Monochrome");
    CoverageTerrain->setChecked(true);
    LossContours = Named(new QCheckBox(QStringLiteral("20 dB Contours"), group), "LossContours");
    SaveCoverage =
        Named(new QCheckBox(QStringLiteral("Save coverage data to file"), group), "SaveCoverage");
    IncHeader = Named(new QCheckBox(QStringLiteral("Include header"), group), "IncHeader");
    IncHeader->setChecked(true);
    for (QWidget* widget : std::initializer_list<QWidget*>{CoverageTerrain, Colourfull, Monochrome,
                                                           LossContours, SaveCoverage, IncHeader})
        layout->addWidget(widget);
    column->addWidget(group);
    BuildButtons(column);
    column->addStretch(1);
}

void TCoveragePage::BuildButtons(QVBoxLayout* column) {
    PlotCoverage = Named(new QPushButton(QStringLiteral("Plot Coverage"), this), "PlotCoverage");
    PlotCoverage->setToolTip(QStringLiteral("Compute the field strength over the area"));
    Abort = Named(new QPushButton(QStringLiteral("Abort"), this), "Abort");
    Abort->setToolTip(QStringLiteral("Stop the computation"));
    Abort->setEnabled(false);
    ExportKMZ = Named(new QPushButton(QStringLiteral("Export as KMZ"), this), "ExportKMZ");
    ExportKMZ->setToolTip(QStringLiteral("Export image in KMZ format for Google Earth overlay "));
    ExportGeoTiff =
        Named(new QPushButton(QStringLiteral("Export as GeoTIFF"), this), "ExportGeoTiff");
    ExportGeoTiff->setToolTip(
        QStringLiteral("Export the field strength grid as a GeoTIFF for GIS programs"));
    auto* plot = new QHBoxLayout;
    plot->addWidget(PlotCoverage);
    plot->addWidget(Abort);
    column->addLayout(plot);
    column->addWidget(ExportKMZ);
    column->addWidget(ExportGeoTiff);
}

QWidget* TCoveragePage::BuildSystemData() {
    auto* group = Named(new QGroupBox(QStringLiteral("System Data"), this), "SystemData");
    auto* layout = new QGridLayout(group);
    struct Item {
        QLabel*& label;
        const char* name;
        const char* caption;
    };
    const Item items[] = {
        {CoverageMapCentre, "CoverageMapCentre", "Map centre"},
        {CoverageFrequency, "CoverageFrequency", "Frequency (GHz)"},
        {CoverageTxHeight, "CoverageTxHeight", "TX height (m)"},
        {CoverageRxHeight, "CoverageRxHeight", "RX height (m)"},
        {CoverageTimePercentage, "CoverageTimePercentage", "Time (%)"},
    };
    int row = 0;
    for (const Item& item : items) {
        item.label = Label(item.name, QString(), group);
        layout->addWidget(new QLabel(QString::fromLatin1(item.caption), group), row, 0);
        layout->addWidget(item.label, row++, 1);
    }
    return group;
}

std::vector<std::pair<std::string, std::string>> TCoveragePage::SettingsValues() const {
    std::vector<std::pair<std::string, std::string>> values;
    const std::pair<const char*, const TNumEdit*> fields[] = {
        {"Range", CoverageRange}, {"Resolution", CoverageResolution}, {"MaxFs", MaxLoss},
        {"MinFs", MinLoss},       {"MaxHeight", MaxHeight},           {"MinHeight", MinHeight}};
    for (const auto& [key, field] : fields)
        if (field->IsAcceptable()) // a number within its limits, as typed
            values.emplace_back(key, field->text().trimmed().toStdString());
    const int mode = Colourfull->isChecked() ? 1 : Monochrome->isChecked() ? 2 : 0;
    values.emplace_back("Mode", std::to_string(mode));
    values.emplace_back("Contours", LossContours->isChecked() ? "1" : "0");
    values.emplace_back("SaveData", SaveCoverage->isChecked() ? "1" : "0");
    values.emplace_back("Header", IncHeader->isChecked() ? "1" : "0");
    return values;
}

void TCoveragePage::ReadSettings(const SettingsFile& ini, std::vector<std::string>& notes) {
    const std::pair<const char*, TNumEdit*> fields[] = {
        {"Coverage:Range", CoverageRange}, {"Coverage:Resolution", CoverageResolution},
        {"Coverage:MaxFs", MaxLoss},       {"Coverage:MinFs", MinLoss},
        {"Coverage:MaxHeight", MaxHeight}, {"Coverage:MinHeight", MinHeight}};
    for (const auto& [key, field] : fields) {
        field->SetValue(ini.GetLimitedReal(key, field->GetMinValue(), field->GetMaxValue(),
                                           field->GetValue(), notes));
    }
    QRadioButton* const modes[] = {CoverageTerrain, Colourfull, Monochrome};
    modes[ini.GetLimitedInt("Coverage:Mode", 0, 2,
                            Colourfull->isChecked()   ? 1
                            : Monochrome->isChecked() ? 2
                                                      : 0,
                            notes)]
        ->setChecked(true);
    LossContours->setChecked(ini.GetInt("Coverage:Contours", LossContours->isChecked()) != 0);
    SaveCoverage->setChecked(ini.GetInt("Coverage:SaveData", SaveCoverage->isChecked()) != 0);
    IncHeader->setChecked(ini.GetInt("Coverage:Header", IncHeader->isChecked()) != 0);
}

void TCoveragePage::CoverageShow() {
    LinkState& state = host.State();
    CLocator tx = state.txLocation;
    CoverageMapCentre->setText(QString::fromStdString(tx.GetText(FormatDMS)));
    const LinkSetup& link = host.Link().Setup();
    CoverageFrequency->setText(FieldText(link.frequency, limits::frequency));
    CoverageTxHeight->setText(FieldText(link.txHeight, limits::txHeight));
    CoverageRxHeight->setText(FieldText(link.rxHeight, limits::rxHeight));
    CoverageTimePercentage->setText(FieldText(link.percent, limits::percent));
    if (coverageImage.isNull()) {
        coverageImage = BlankCoverageImage(std::max(CoverageMap->width(), CoverageMap->height()));
        if (coverageImage.isNull())
            host.Notify(QStringLiteral("Could not load or display bitmap"), true);
    }
    CoverageMap->Draw(running ? preview.Raster() : coverageImage);
    if (scaleBitmap.isNull()) {
        HideScale();
    } else {
        ColourScale->Draw(scaleBitmap);
        ScaleMax->show();
        ScaleMin->show();
        ColourScale->show();
        ScaleTicks->show();
    }
}

void TCoveragePage::ShowScale(const CoverageScale& scale, bool heights) {
    scaleBitmap = scale.bitmap;
    ScaleMax->setText(QString::fromStdString(scale.maxText));
    ScaleMin->setText(QString::fromStdString(scale.minText));
    ColourScale->Draw(scaleBitmap);
    // Both bars run linearly from the upper limit at the top to the lower
    // one at the bottom: the field strength's ten bands get a value every
    // second band edge, the terrain's sixteen one every fourth.
    const double hi = heights ? run.display.maxHeight : run.display.maxFs;
    const double lo = heights ? run.display.minHeight : run.display.minFs;
    const int labels = heights ? 3 : 4;
    const int h = ScaleTicks->height();
    for (std::size_t i = 0; i < scaleTicks.size(); ++i) {
        QLabel* tick = scaleTicks[i];
        const int k = static_cast<int>(i) + 1;
        if (k > labels) {
            tick->clear();
            tick->hide();
            continue;
        }
        const double fraction = static_cast<double>(k) / (labels + 1);
        const double value = hi - fraction * (hi - lo);
        tick->setText(
            QString::fromStdString(heights ? HeightLabel(value) : FieldStrengthLabel(value)));
        tick->adjustSize();
        const int y = static_cast<int>(fraction * h + 0.5);
        tick->move(0, std::clamp(y - tick->height() / 2, 0, h - tick->height()));
        tick->show();
    }
    ScaleMax->show();
    ScaleMin->show();
    ColourScale->show();
    ScaleTicks->show();
}

void TCoveragePage::HideScale() {
    ScaleMax->hide();
    ScaleMin->hide();
    ColourScale->hide();
    ScaleTicks->hide();
}

bool TCoveragePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CoverageMap && event->type() == QEvent::MouseButtonDblClick) {
        CoverageMapDblClick();
        return true;
    }
    return TPage::eventFilter(watched, event);
}

void TCoveragePage::CoverageMapDblClick() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard && !coverageImage.isNull()) clipboard->setImage(coverageImage);
    if (clipboard && !clipboard->image().isNull())
        host.Status(QStringLiteral("Map copied to the clipboard"));
    else
        host.Notify(QStringLiteral("Failed to copy image to clipboard!"), true);
}

// Leaving the page (or closing the window) stops a computation; a window
// merely minimised goes on.
void TCoveragePage::hideEvent(QHideEvent* event) {
    TPage::hideEvent(event);
    if (!event->spontaneous()) CoverageExit();
}

} // namespace kestrova
