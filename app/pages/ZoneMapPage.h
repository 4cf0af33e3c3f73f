// TZoneMapPage: the "Zone Map" page. Each showing draws the radio-climatic
// zones of the link area (400 x 400: sea navy, coastal land aqua, inland
// green, no zone black) with the path and its end discs, beside a key.
#pragma once

#include "app/pages/Page.h"

#include <QImage>

namespace kestrova {

class TMapView;

class TZoneMapPage : public TPage {
    Q_OBJECT
public:
    explicit TZoneMapPage(TPageHost& host);

    void PageShow() override { TabSheet2Show(); }

public Q_SLOTS:
    void TabSheet2Show();

private:
    TMapView* ZoneMap = nullptr;
    QImage zoneMapBitmap;
};

} // namespace kestrova
