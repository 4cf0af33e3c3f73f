// The "Radio Refractivity Data" page (see RefractivityPage.h).
#include "app/pages/RefractivityPage.h"

#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "propagation/Refractivity.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>

namespace kestrova {

TRefractivityPage::TRefractivityPage(TPageHost& pageHost)
    : TPage(pageHost, "TabSheet1", QStringLiteral("Radio Refractivity Data")) {
    auto* layout = new QHBoxLayout(this);
    auto group = [&](const char* name, const QString& title) {
        auto* box = Named(new QGroupBox(title, this), name);
        auto* form = new QFormLayout(box);
        layout->addWidget(box);
        return std::pair{box, form};
    };
    auto value = [](QFormLayout* form, QWidget* box, const char* name, const QString& text) {
        QLabel* label = Label(name, QStringLiteral("-"), box);
        form->addRow(text, label);
        return label;
    };
    auto [tx, txForm] = group("TXGroup", QStringLiteral("Transmitter site Refractivity data"));
    PTime = value(txForm, tx, "PTime", QStringLiteral("Percentage time"));
    TXN_0 = value(txForm, tx, "TXN_0", QStringLiteral("Surface refractivity"));
    TXDNDZ = value(txForm, tx, "TXDNDZ", QStringLiteral("Refractivity gradient"));
    TXBETA0 = value(txForm, tx, "TXBETA0", QStringLiteral("Surface duct occurrence"));
    TXBETAE = value(txForm, tx, "TXBETAE", QStringLiteral("Elevated duct occurrence"));
    auto [rx, rxForm] = group("RXGroup", QStringLiteral("Receiver site Refractivity data"));
    RXN_0 = value(rxForm, rx, "RXN_0", QStringLiteral("Mean surface refractivity"));
    RXDNDZ = value(rxForm, rx, "RXDNDZ", QStringLiteral("Mean refractivity gradient"));
    RXBETA0 = value(rxForm, rx, "RXBETA0", QStringLiteral("Surface duct occurrence"));
    RXBETAE = value(rxForm, rx, "RXBETAE", QStringLiteral("Elevated duct occurrence"));
    auto [path, pathForm] = group("PathGroup", QStringLiteral("Path data"));
    Kfact = value(pathForm, path, "Kfact", QStringLiteral("Path Median K-factor"));
    RHO = value(pathForm, path, "RHO", QStringLiteral("Water vapour density"));
    BETA0 = value(pathForm, path, "BETA0", QStringLiteral("Path Beta0"));
    BETA0->setToolTip(QStringLiteral(
        "This is the the time percentage that lapse rates exceeding 100N units /km can be "
        "expected in the first 100m of the lower atmosphere"));
    SEAFRACTION = value(pathForm, path, "SEAFRACTION", QStringLiteral("Fraction of path over sea"));
    DCT = value(pathForm, path, "DCT", QStringLiteral("TX coastal distance"));
    DCR = value(pathForm, path, "DCR", QStringLiteral("RX coastal distance"));
    PLEN = value(pathForm, path, "PLEN", QStringLiteral("Path length"));
    // The link's results.
    const TLinkController& link = host.Link();
    connect(&link, &TLinkController::WaterVapour, this, &TRefractivityPage::ShowWaterVapour);
    connect(&link, &TLinkController::KFactor, this, &TRefractivityPage::ShowKFactor);
    connect(&link, &TLinkController::Calculated, this,
            [this](const CTerrain& engine) { ShowPathData(engine); });
}

void TRefractivityPage::ShowWaterVapour(double rho) {
    RHO->setText(Fixed(rho, 3, 1) + QStringLiteral(" g/m3"));
}

void TRefractivityPage::ShowPathData(const CTerrain& e) {
    BETA0->setText(Fixed(e.beta0, 3, 1) + QStringLiteral(" %"));
    SEAFRACTION->setText(Fixed(e.omega * 100.0, 3, 1) + QStringLiteral(" %"));
    DCT->setText(Fixed(e.dct, 4, 1) + QStringLiteral(" km"));
    DCR->setText(Fixed(e.dcr, 4, 1) + QStringLiteral(" km"));
    PLEN->setText(Fixed(e.pathLength, 4, 1) + QStringLiteral(" km"));
}

// The k-factor the last calculation used, and where it came from.
void TRefractivityPage::ShowKFactor(double k, const QString& source) {
    Kfact->setText(QString::number(k, 'f', 4) + QStringLiteral(" (") + source + u')');
}

void TRefractivityPage::TabSheet1Show() {
    PTime->setText(QString::number(host.Link().Setup().percent, 'g', 5) + QStringLiteral(" %"));
    const LinkState& state = host.State();
    const CRefractivity* maps = state.refractivity.get();
    const CLocator& tx = state.txLocation;
    const CLocator& rx = state.rxLocation;

    using Lookup = bool (CRefractivity::*)(double, double, bool, double&) const;
    struct Item {
        Lookup lookup;
        QLabel* tx;
        QLabel* rx;
        const char* unit;
    };
    const Item items[] = {{&CRefractivity::GetN0, TXN_0, RXN_0, " N units"},
                          {&CRefractivity::GetDeltaN, TXDNDZ, RXDNDZ, " N units/km"},
                          {&CRefractivity::GetSurfaceDuctOccurrence, TXBETA0, RXBETA0, " %"},
                          {&CRefractivity::GetElevatedDuctOccurrence, TXBETAE, RXBETAE, " %"}};
    const auto show = [&](const CLocator& at, QLabel* label, Lookup lookup, const char* unit) {
        double value = 0.0;
        if (maps && (maps->*lookup)(at.GetLatitude(), at.GetLongitude(), true, value))
            label->setText(Fixed(value, 4, 1) + QString::fromLatin1(unit));
        else
            label->setText(QStringLiteral("No data"));
    };
    for (const Item& item : items)
        show(tx, item.tx, item.lookup, item.unit);
    for (const Item& item : items)
        show(rx, item.rx, item.lookup, item.unit);
}

} // namespace kestrova
