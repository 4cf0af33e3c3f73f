// The "Zone Map" page (see ZoneMapPage.h).
#include "app/pages/ZoneMapPage.h"

#include "app/pages/ImageTools.h"
#include "app/pages/MapView.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "maps/image/MapImage.h"
#include "maps/image/ZoneMapImage.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kestrova {
namespace {

QFrame* KeyShape(const char* name, Colour colour, QWidget* parent) {
    auto* shape = Named(new QFrame(parent), name);
    shape->setFixedSize(24, 16);
    shape->setFrameShape(QFrame::Box);
    shape->setStyleSheet(QStringLiteral("background: %1").arg(ToQColor(colour).name()));
    return shape;
}

} // namespace

TZoneMapPage::TZoneMapPage(TPageHost& pageHost)
    : TPage(pageHost, "TabSheet2", QStringLiteral("Zone Map")) {
    auto* layout = new QHBoxLayout(this);
    ZoneMap = new TMapView("ZoneMap", 400, 400, this);
    AddImageMenu(ZoneMap, host, QStringLiteral("zone-map"), QStringLiteral("Map"));
    layout->addWidget(ZoneMap, 0, Qt::AlignTop);

    auto* key = Named(new QGroupBox(this), "ZoneKey");
    auto* keyLayout = new QGridLayout(key);
    keyLayout->addWidget(Label("Label30", QStringLiteral("Key to Zones"), key), 0, 0, 1, 2);
    keyLayout->addWidget(KeyShape("Shape1", navy, key), 1, 0);
    keyLayout->addWidget(Label("Label25", QStringLiteral("Sea"), key), 1, 1);
    keyLayout->addWidget(KeyShape("Shape2", zoneCoastal, key), 2, 0);
    keyLayout->addWidget(Label("Label28", QStringLiteral("Coastal"), key), 2, 1);
    keyLayout->addWidget(KeyShape("Shape3", zoneInland, key), 3, 0);
    keyLayout->addWidget(Label("Label29", QStringLiteral("Inland"), key), 3, 1);
    keyLayout->setRowStretch(4, 1);
    layout->addWidget(key, 0, Qt::AlignTop);
    layout->addStretch(1);
}

void TZoneMapPage::TabSheet2Show() {
    const LinkState& state = host.State();
    if (!state.zoneMap) return;
    const CLocator& tx = state.txLocation;
    const CLocator& rx = state.rxLocation;
    const ZoneMapImage map =
        DrawZoneMap(*state.zoneMap, tx.GetLatitude(), tx.GetLongitude(), rx.GetLatitude(),
                    rx.GetLongitude(), ZoneMap->width(), ZoneMap->height());
    if (map.map.imageFailed) host.Notify(QStringLiteral("Could not load or display bitmap"), true);
    zoneMapBitmap = map.map.bitmap;
    ZoneMap->Draw(zoneMapBitmap); // without a map the image keeps what it showed
}

} // namespace kestrova
