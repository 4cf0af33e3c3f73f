// What the coverage page asks of the window: the link inputs of a map.
#include "app/MainForm.h"
#include "app/pages/InputPage.h"
#include "controls/NumEdit.h"
#include "propagation/engine/EngineInputs.h"

#include <QCheckBox>

namespace kestrova {

std::optional<CoverageLinkInputs> TMainForm::CoverageLink() {
    if (!inputPage->LinkFieldsAcceptable()) return std::nullopt;
    std::optional<double> forcedK;
    if (ForcedKFactor->isChecked()) forcedK = K_FACT->GetValue();
    // A coverage cell never looks the maps up.
    const RefractivityChoice choice =
        ChooseRefractivity(nullptr, state.txLocation, state.rxLocation, true, false, state.lastN0,
                           state.lastDeltaN, forcedK);
    CoverageLinkInputs inputs;
    inputs.link.n0 = choice.n0;
    inputs.link.deltaN = choice.deltaN;
    inputs.link.frequency = FREQ->GetValue();
    inputs.link.timePercent = Percent->GetValue();
    inputs.link.htg = TX_H->GetValue();
    inputs.link.hrg = RX_H->GetValue();
    inputs.temperature = TEMPERATURE->GetValue();
    inputs.pressure = PRESSURE->GetValue();
    inputs.humidity = RH->GetValue();
    return inputs;
}

QString TMainForm::LinkFieldText(const char* name) {
    const auto* field = inputPage->findChild<QLineEdit*>(QString::fromLatin1(name));
    return field ? field->text() : QString();
}

} // namespace kestrova
