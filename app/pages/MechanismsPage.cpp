// The "Mechanisms" page (see MechanismsPage.h).
#include "app/pages/MechanismsPage.h"

#include "app/pages/ChartTicks.h"
#include "app/pages/ImageTools.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/ChartView.h"
#include "propagation/engine/Mechanisms.h"

#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <new>

namespace kestrova {
namespace {

struct SeriesStyle {
    const char* name;
    const char* title;
    QColor colour;
    int width;
};

const SeriesStyle styles[] = {{"Series3", "Diffraction", QColor(255, 0, 0), 2},
                              {"Series4", "Ducting", QColor(0, 128, 128), 2},
                              {"Series5", "Troposcatter", QColor(0, 0, 255), 2},
                              {"Series6", "Overall", QColor(128, 0, 128), 3}};

// A square point marker of the series' colour.
QImage SquareMarker(const QColor& colour) {
    QImage marker(7, 7, QImage::Format_ARGB32);
    marker.fill(colour);
    QPainter painter(&marker);
    painter.setPen(colour.darker(150));
    painter.drawRect(0, 0, 6, 6);
    return marker;
}

} // namespace

TMechanismsPage::TMechanismsPage(TPageHost& pageHost)
    : TPage(pageHost, "Mechanisms", QStringLiteral("Mechanisms")) {
    try {
        engine = std::make_unique<CTerrain>();
    } catch (const std::bad_alloc&) {
        engine.reset(); // the chart stays empty
    }
    Chart2 = Named(new TChartView(this), "Chart2");
    Chart2->setMinimumSize(300, 200);
    Chart2->setToolTip(QStringLiteral("Click and drag to zoom, Double click to copy"));
    QChart* chart = Chart2->chart();
    chart->setTitle(QStringLiteral("Model Results"));
    chart->setBackgroundBrush(Qt::white);
    chart->legend()->show();

    bottomAxis = new QLogValueAxis(chart);
    bottomAxis->setBase(10.0);
    bottomAxis->setRange(0.001, 50.0);
    bottomAxis->setTitleText(QStringLiteral("Percentage Time"));
    bottomAxis->setLabelFormat(QStringLiteral("%g"));
    bottomAxis->setMinorTickCount(8);
    bottomAxis->setMinorGridLineVisible(true);
    bottomAxis->setMinorGridLinePen(QPen(Qt::gray, 1, Qt::DotLine));
    leftAxis = new QValueAxis(chart);
    leftAxis->setReverse(true); // larger losses lower
    leftAxis->setTitleText(QStringLiteral("Path Attenuation (dB)"));
    chart->addAxis(bottomAxis, Qt::AlignBottom);
    chart->addAxis(leftAxis, Qt::AlignLeft);
    for (std::size_t i = 0; i < series.size(); ++i) {
        const SeriesStyle& style = styles[i];
        auto* line = Named(new QLineSeries(chart), style.name);
        line->setName(QString::fromLatin1(style.title));
        QPen pen(style.colour, style.width);
        if (i + 1 == series.size()) {
            // Overall, drawn last, coincides with the mechanism that rules
            // at each percentage: a broad translucent band lets that
            // mechanism's curve show through it.
            QColor band = style.colour;
            band.setAlpha(96);
            pen = QPen(band, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        }
        line->setPen(pen);
        line->setLightMarker(SquareMarker(style.colour));
        line->setMarkerSize(7);
        chart->addSeries(line);
        line->attachAxis(bottomAxis);
        line->attachAxis(leftAxis);
        series[i] = line;
    }
    auto* column = new QVBoxLayout(this);
    column->addWidget(Chart2, 1);
    MechanismsReadout = Label("MechanismsReadout", QString(), this);
    MechanismsReadout->setStyleSheet(QStringLiteral("color: blue"));
    QSizePolicy policy = MechanismsReadout->sizePolicy();
    policy.setRetainSizeWhenHidden(true); // the chart keeps its size
    MechanismsReadout->setSizePolicy(policy);
    MechanismsReadout->hide();
    column->addWidget(MechanismsReadout);
    connect(Chart2, &TChartView::DoubleClicked, this, &TMechanismsPage::Chart2DblClick);
    connect(Chart2, &TChartView::MouseMoved, this, &TMechanismsPage::Chart2MouseMove);
    connect(Chart2, &TChartView::MouseLeft, MechanismsReadout, &QLabel::hide);
    AddImageMenu(Chart2, host, QStringLiteral("mechanisms"), QStringLiteral("Chart"));
}

TMechanismsPage::~TMechanismsPage() = default;

void TMechanismsPage::MechanismsShow() {
    LinkState& state = host.State();
    if (!state.engine || !engine || !state.terrainStore || !state.zoneMap) return;
    // The link's own inputs (the same refractivity fallbacks and fixed
    // k-factor as Calculate), so that the 50 % point is the link's loss.
    const LinkInputs inputs = host.Link().CurrentLinkInputs();
    Chart2->chart()->setTitle(QStringLiteral("Model Results, ") + EditionTitle(inputs.edition));
    const std::vector<MechanismPoint> points = MechanismCurves(
        *engine, *state.terrainStore, *state.zoneMap, state.txLocation, state.rxLocation,
        host.Link().Setup().interpolate, inputs, state.pathGasLoss);
    std::array<QList<QPointF>, 4> values;
    double lowest = INFINITY;
    double highest = -INFINITY;
    for (const MechanismPoint& p : points) {
        const double losses[] = {p.diffraction, p.ducting, p.troposcatter, p.overall};
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] << QPointF(p.percent, losses[i]);
            if (std::isfinite(losses[i])) {
                lowest = std::min(lowest, losses[i]);
                highest = std::max(highest, losses[i]);
            }
        }
    }
    for (std::size_t i = 0; i < series.size(); ++i)
        series[i]->replace(values[i]);
    Chart2->chart()->zoomReset();
    bottomAxis->setRange(0.001, 50.0);
    if (lowest <= highest) {
        const double step = RoundTickInterval(std::max(highest - lowest, 1.0));
        const double bottom = std::floor(lowest / step) * step;
        const double top = std::max(std::ceil(highest / step) * step, bottom + step);
        SetRoundRange(leftAxis, bottom, top);
    }
    Chart2->SetHome();
}

void TMechanismsPage::Chart2MouseMove(QPoint position) {
    const QList<QPointF> overall = series.back()->points();
    const double x = Chart2->ValueAt(position).x();
    if (!Chart2->InPlotArea(position) || overall.isEmpty() || !(x > 0.0)) {
        MechanismsReadout->hide();
        return;
    }
    // The sampled percentage nearest the mouse on the logarithmic axis.
    qsizetype nearest = 0;
    for (qsizetype i = 1; i < overall.size(); ++i)
        if (std::fabs(std::log10(overall[i].x() / x)) <
            std::fabs(std::log10(overall[nearest].x() / x)))
            nearest = i;
    QStringList losses;
    for (std::size_t i = 0; i < series.size(); ++i)
        if (nearest < series[i]->count())
            losses << QStringLiteral("%1 %2 dB")
                          .arg(QString::fromLatin1(styles[i].title),
                               Fixed(series[i]->at(nearest).y(), 6, 1).trimmed());
    MechanismsReadout->setText(
        QStringLiteral("%1 % of time: ").arg(QString::number(overall[nearest].x(), 'g', 6)) +
        losses.join(QStringLiteral(", ")));
    MechanismsReadout->show();
}

void TMechanismsPage::Chart2DblClick() {
    CopyImage(Chart2, host, QStringLiteral("Chart"));
}

} // namespace kestrova
