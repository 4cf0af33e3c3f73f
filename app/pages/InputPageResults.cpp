// The results file of the "Input Data" page: one block of the inputs and
// results appended at each "Save".
#include "app/pages/ImageTools.h"
#include "app/pages/InputPage.h"
#include "app/pages/PageHost.h"
#include "controls/NumEdit.h"
#include "controls/UserDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace kestrova {
namespace {

// printf's "%<width>.<decimals>f".
QString F(double value, int width, int decimals) {
    return QString::number(value, 'f', decimals).rightJustified(width);
}

} // namespace

void TInputPage::SaveResultsClick() {
    LinkState& state = host.State();
    if (state.firstResultsSave) {
        const QString chosen =
            ChooseSaveFile(host, this, QStringLiteral("Save results"), resultsFileName,
                           QStringLiteral("Results (*.dat);;All files (*)"));
        if (chosen.isEmpty()) return; // cancelled: nothing is written
        resultsFileName = chosen;
        state.firstResultsSave = false;
    }
    host.AppendToFileSafely(resultsFileName, ResultsBlock().toUtf8());
}

QString TInputPage::ResultsBlock() {
    QString text;
    const auto line = [&text](const QString& content) { text += content + u'\n'; };
    line(QStringLiteral("# PATH PROFILE RESULTS"));
    line(QStringLiteral("#"));
    line(QStringLiteral("[LinkData]"));
    line(QStringLiteral("Frequency: %1; # Frequency in GHz").arg(F(FREQ->GetValue(), 8, 6)));
    line(QStringLiteral("TX_Height: %1; # TX Height AMSL ").arg(F(TX_H->GetValue(), 4, 1)));
    line(QStringLiteral("RX_Height: %1; # RX Height AMSL ").arg(F(RX_H->GetValue(), 4, 1)));
    line(QStringLiteral("Percentage: %1; # Time percentage of interest")
             .arg(F(Percent->GetValue(), 6, 4)));
    line(QStringLiteral("Metric: %1; # 1 = Metric, 0 = Imperial System")
             .arg(Metric->isChecked() ? 1 : 0));
    line(QStringLiteral("Temperature: %1; # Temperature in Centigrade")
             .arg(F(TEMPERATURE->GetValue(), 4, 1)));
    line(QStringLiteral("Pressure: %1; # Atmospheric pressure in millibars")
             .arg(F(PRESSURE->GetValue(), 4, 1)));
    line(
        QStringLiteral("RelativeHumidity: %1; # Relative Humidity %").arg(F(RH->GetValue(), 4, 1)));
    line(QStringLiteral("ForcedKFactor: %1; # 1 = yes, 0 = no")
             .arg(ForcedKFactor->isChecked() ? 1 : 0));
    line(QStringLiteral("K_Factor: %1; # Effective Earth Radius factor")
             .arg(F(K_FACT->GetValue(), 6, 4)));
    line(QStringLiteral("#"));
    line(QStringLiteral("[Locator]"));
    switch (host.Link().Setup().Format()) {
    case FormatNGR:
        line(QStringLiteral("LocatorFormat: UK National Grid"));
        break;
    case FormatDegrees:
        line(QStringLiteral("LocatorFormat: Decimal Degrees"));
        break;
    case FormatDMS:
        line(QStringLiteral("LocatorFormat: Degrees, Minutes, Seconds"));
        break;
    default:
        line(QStringLiteral("LocatorFormat: Maidenhead"));
        break;
    }
    line(QStringLiteral("StartLocator: %1; ").arg(StartLoc->text()));
    line(QStringLiteral("EndLocator: %1; ").arg(EndLoc->text()));
    line(QStringLiteral("Range: %1; ").arg(F(Range->GetValue(), 5, 1)));
    line(QStringLiteral("Bearing: %1; ").arg(F(Bearing->GetValue(), 5, 1)));
    line(QStringLiteral("#"));
    line(QStringLiteral("[Results]"));
    for (QLabel* label :
         {StartHeight, EndHeight, FSLoss, GasLoss, DiffLoss, TropoLoss, DuctLoss, OverallLoss})
        line(label->text() + u';');
    return text;
}

} // namespace kestrova
