// What the coverage page asks of the window: the link inputs of a map.
#include "app/MainForm.h"
#include "app/pages/InputPage.h"
#include "propagation/engine/EngineInputs.h"

#include <QLineEdit>

namespace kestrova {

std::optional<CoverageLinkInputs> TMainForm::CoverageLink() {
    if (!inputPage->LinkFieldsAcceptable()) return std::nullopt;
    const CalculationSettings settings = CurrentSettings();
    // A coverage cell never looks the maps up.
    const CalculationInputs calculation = BuildCalculationInputs(
        settings, nullptr, nullptr, nullptr, RefractivitySource::Fallback,
        RefractivityFallback{state.lastN0, state.lastDeltaN, state.lastFromMaps});
    if (!calculation.Usable()) {
        Notify(QString::fromStdString(calculation.problem), true);
        return std::nullopt;
    }
    CoverageLinkInputs inputs;
    inputs.link = calculation.link;
    inputs.gamma = calculation.gamma;
    inputs.temperature = settings.temperature;
    inputs.pressure = settings.pressure;
    inputs.humidity = settings.humidity;
    return inputs;
}

QString TMainForm::LinkFieldText(const char* name) {
    const auto* field = inputPage->findChild<QLineEdit*>(QString::fromLatin1(name));
    return field ? field->text() : QString();
}

} // namespace kestrova
