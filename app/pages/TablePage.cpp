// The "Tabulated Data" page (see TablePage.h).
#include "app/pages/TablePage.h"

#include "app/pages/ImageTools.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/UserDialogs.h"
#include "geo/Units.h"
#include "propagation/engine/Terrain.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrova {
namespace {

constexpr double feetPerMetre = 3.28084;
constexpr int columnsOnScreen = 5;

} // namespace

TTablePage::TTablePage(TPageHost& pageHost)
    : TPage(pageHost, "TabulatedData", QStringLiteral("Tabulated Data")),
      profileTableFileName(QStringLiteral("profile.dat")) {
    auto* layout = new QVBoxLayout(this);
    auto* group = Named(new QGroupBox(QStringLiteral("Profile Data (double click to save)"), this),
                        "ProfileGroupBox");
    auto* groupLayout = new QVBoxLayout(group);
    Profile = Named(new QListWidget(group), "Profile");
    Profile->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Profile->setFlow(QListView::TopToBottom);
    Profile->setWrapping(true);
    Profile->setResizeMode(QListView::Adjust);
    Profile->setUniformItemSizes(true);
    Profile->viewport()->installEventFilter(this);
    groupLayout->addWidget(Profile);
    layout->addWidget(group);
    connect(Profile, &QListWidget::itemDoubleClicked, this, &TTablePage::ProfileDblClick);
    connect(&host.Link(), &TLinkController::Calculated, this, [this](const CTerrain& engine) {
        ShowProfile(engine.profile, host.Link().Setup().Metric());
    });
}

void TTablePage::ShowProfile(const TerrainProfile& p, bool metric) {
    const int n = p.count;
    QStringList lines;
    lines.reserve(n + 1);
    lines << (metric ? QStringLiteral("Range (m)  Height (m)")
                     : QStringLiteral("Range (m)  Height (ft)"));
    for (int i = 0; i < n; ++i) {
        const auto s = static_cast<std::size_t>(i);
        if (metric)
            lines << Fixed(p.distance[s] * 1000.0, 8, 0) + QStringLiteral(", ") +
                         QString::number(static_cast<long long>(p.height[s] + 0.5));
        else
            lines << Fixed(p.distance[s] / kmPerMile, 4, 2) + QString(10, u' ') +
                         QString::number(static_cast<long long>(p.height[s] * feetPerMetre + 0.5));
    }
    Profile->clear();
    Profile->addItems(lines);
    const QFontMetrics metrics(Profile->font());
    widestLine = 0;
    for (const QString& line : lines)
        widestLine = std::max(widestLine, metrics.horizontalAdvance(line));
    FitColumns();
}

void TTablePage::FitColumns() {
    const QFontMetrics metrics(Profile->font());
    const int share = Profile->viewport()->width() / columnsOnScreen;
    Profile->setGridSize(QSize(std::max(widestLine + 16, share), metrics.height() + 2));
}

bool TTablePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Profile->viewport() && event->type() == QEvent::Resize) FitColumns();
    return TPage::eventFilter(watched, event);
}

void TTablePage::ProfileDblClick() {
    const QString chosen =
        ChooseSaveFile(host, this, QStringLiteral("Save profile"), profileTableFileName,
                       QStringLiteral("Profile (*.dat);;All files (*)"));
    if (chosen.isEmpty()) return; // cancelled: nothing is written
    profileTableFileName = chosen;
    QByteArray bytes;
    for (int i = 0; i < Profile->count(); ++i)
        bytes += Profile->item(i)->text().toUtf8() + "\r\n";
    bytes += '\n';
    host.WriteFileSafely(profileTableFileName, bytes);
}

} // namespace kestrova
