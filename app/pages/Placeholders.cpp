// Placeholder pages (see Placeholders.h).
#include "app/pages/Placeholders.h"

#include "app/Panel.h"
#include "app/pages/Page.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"

#include <QFormLayout>
#include <QHBoxLayout>

namespace kestrova {

TPage* NewEvaluationPlaceholder(TPageHost& host) {
    auto* page = new TPage(host, "Evaluation", QStringLiteral("Site Evaluation"));
    auto* layout = new QHBoxLayout(page);
    auto* panel6 = Named(new TPanel(page), "Panel6");
    auto* panel7 = Named(new TPanel(page), "Panel7");
    auto* panel6Form = new QFormLayout(panel6);
    panel6Form->addRow(QStringLiteral("Range"), NumField("EvalRange", panel6));
    panel6Form->addRow(QStringLiteral("Bearing"), NumField("EvalBearing", panel6));
    auto* panel7Form = new QFormLayout(panel7);
    panel7Form->addRow(QStringLiteral("Power (W)"), NumField("EvalPower", panel7));
    panel7Form->addRow(QStringLiteral("Gain (dBi)"), NumField("EvalGain", panel7));
    for (TPanel* panel : {panel6, panel7}) {
        panel->setFrameShape(QFrame::StyledPanel);
        layout->addWidget(panel);
        QObject::connect(panel, &TPanel::Clicked, page, [&host] { host.Panel1Click(); });
    }
    layout->addStretch(1);
    return page;
}

TPage* NewSiteDatabasePlaceholder(TPageHost& host) {
    return new TPage(host, "SiteDatabase", QStringLiteral("Site Database"));
}

} // namespace kestrova
