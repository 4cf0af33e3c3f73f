// The "Area Coverage" page: its controls, the page's show handler and the
// copy of the map (see CoveragePage.h).
#include "app/pages/CoveragePage.h"

#include "app/pages/MapView.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/UserDialogs.h"
#include "coverage/Coverage.h"
#include "coverage/CoverageRaster.h"
#include "coverage/CoverageScale.h"

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
    centre->addWidget(CoverageMap);
    centre->addWidget(CoverageProgress);
    centre->addStretch(1);
    columns->addLayout(centre);

    auto* right = new QVBoxLayout;
    ScaleMax = Label("ScaleMax", QStringLiteral("max"), this);
    ColourScale = new TMapView("ColourScale", colourScaleWidth, colourScaleHeight, this);
    ScaleMin = Label("ScaleMin", QStringLiteral("min"), this);
    for (QWidget* widget : std::initializer_list<QWidget*>{ScaleMax, ColourScale, ScaleMin}) {
        // The hidden bar keeps its place, so nothing below it moves.
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
        right->addWidget(widget);
    }
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
        const char* hint;
    };
    const Field rows[] = {
        {CoverageRange, "CoverageRange", "Range (km)",
         "Range of the coverage map from the transmitter in km"},
        {CoverageResolution, "CoverageResolution", "Resolution (arcsec)",
         "Grid step in whole arc-seconds"},
        {MaxLoss, "MaxLoss", "Maximum fs (dBµV/m)",
         "Field strength (dBµV/m) at the top of the scale"},
        {MinLoss, "MinLoss", "Minimum fs (dBµV/m)",
         "Field strength (dBµV/m) at the bottom of the scale"},
        {MaxHeight, "MaxHeight", "Max height (m)", "Highest terrain height of the terrain colours"},
        {MinHeight, "MinHeight", "Min height (m)", "Lowest terrain height of the terrain colours"},
    };
    int row = 0;
    for (const Field& field : rows) {
        field.edit = NumField(field.name, group);
        field.edit->setToolTip(QString::fromUtf8(field.hint));
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

void TCoveragePage::CoverageShow() {
    LinkState& state = host.State();
    CLocator tx = state.txLocation;
    CoverageMapCentre->setText(QString::fromStdString(tx.GetText(FormatDMS)));
    CoverageFrequency->setText(host.LinkFieldText("FREQ"));
    CoverageTxHeight->setText(host.LinkFieldText("TX_H"));
    CoverageRxHeight->setText(host.LinkFieldText("RX_H"));
    CoverageTimePercentage->setText(host.LinkFieldText("Percent"));
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
    }
}

void TCoveragePage::ShowScale(const CoverageScale& scale) {
    scaleBitmap = scale.bitmap;
    ScaleMax->setText(QString::fromStdString(scale.maxText));
    ScaleMin->setText(QString::fromStdString(scale.minText));
    ColourScale->Draw(scaleBitmap);
    ScaleMax->show();
    ScaleMin->show();
    ColourScale->show();
}

void TCoveragePage::HideScale() {
    ScaleMax->hide();
    ScaleMin->hide();
    ColourScale->hide();
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
        host.Notify(QStringLiteral("Image copied to clipboard"));
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
