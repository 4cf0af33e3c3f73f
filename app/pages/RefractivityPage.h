// TRefractivityPage: the "Radio Refractivity Data" page. Each showing looks
// up the surface refractivity, the refractivity gradient and the duct
// occurrences at both ends and the median k-factor at the path centre; the
// link calculation writes the path data (water-vapour density, beta0, sea
// fraction, coastal distances, path length).
#pragma once

#include "app/pages/Page.h"

class QLabel;

namespace kestrova {

class CTerrain;

class TRefractivityPage : public TPage {
    Q_OBJECT
public:
    explicit TRefractivityPage(TPageHost& host);

    void PageShow() override { TabSheet1Show(); }
    // From the link calculation.
    void ShowWaterVapour(double rho);
    void ShowPathData(const CTerrain& engine);
    // The path's median k-factor as the calculation used it, with its source.
    void ShowKFactor(double k, const QString& source);

public Q_SLOTS:
    void TabSheet1Show();

private:
    QLabel* PTime = nullptr;
    QLabel* TXN_0 = nullptr;
    QLabel* TXDNDZ = nullptr;
    QLabel* TXBETA0 = nullptr;
    QLabel* TXBETAE = nullptr;
    QLabel* RXN_0 = nullptr;
    QLabel* RXDNDZ = nullptr;
    QLabel* RXBETA0 = nullptr;
    QLabel* RXBETAE = nullptr;
    QLabel* Kfact = nullptr;
    QLabel* RHO = nullptr;
    QLabel* BETA0 = nullptr;
    QLabel* SEAFRACTION = nullptr;
    QLabel* DCT = nullptr;
    QLabel* DCR = nullptr;
    QLabel* PLEN = nullptr;
};

} // namespace kestrova
