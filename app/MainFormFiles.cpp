// The settings file, and the safe writes of every file the window saves whole.
#include "app/IniFile.h"
#include "app/MainForm.h"
#include "app/pages/InputPage.h"
#include "controls/NumEdit.h"
#include "controls/UserDialogs.h"
#include "files/SafeWrite.h"
#include "settings/InputLimits.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <iostream>
#include <string_view>

namespace kestrova {
namespace {

// printf's "%f": six decimals, C locale.
QString F(double value) {
    return QString::number(value, 'f', 6);
}

// Unchecks every button of an exclusive group, which Qt only allows with
// the group's exclusivity switched off for the moment.
void UncheckAll(std::initializer_list<QRadioButton*> buttons) {
    for (QRadioButton* button : buttons) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

} // namespace

bool TMainForm::WriteFileSafely(const QString& fileName, const QByteArray& bytes) {
    // The core's safe writer: a failure leaves the previous content in
    // place, and a directory, FIFO or device is never replaced.
    const WriteOutcome outcome = WriteFileAtomically(
        fileName.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (outcome) return true;
    std::cerr << "kestrova: " << outcome.message << "\n";
    Notify(QStringLiteral("Could not save file!"), true);
    return false;
}

bool TMainForm::AppendToFileSafely(const QString& fileName, const QByteArray& bytes) {
    const WriteOutcome outcome =
        AppendToFile(fileName.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (outcome) return true;
    std::cerr << "kestrova: " << outcome.message << "\n";
    Notify(QStringLiteral("Could not save file!"), true);
    return false;
}

void TMainForm::WriteSettings(const QString& fileName) {
    QString text;
    const auto line = [&text](const QString& content) { text += content + u'\n'; };
    line(QStringLiteral("#"));
    line(QStringLiteral("# This is the ini file for the Kestrova Software"));
    line(QStringLiteral("# Do not edit it unless you really need to"));
    line(QStringLiteral("#"));
    line(QStringLiteral("[LinkData]"));
    line(QStringLiteral("Frequency = %1; # Frequency in GHz").arg(F(FREQ->GetValue())));
    line(QStringLiteral("TX_Height = %1; # TX Height AMSL ").arg(F(TX_H->GetValue())));
    line(QStringLiteral("RX_Height = %1; # RX Height AMSL ").arg(F(RX_H->GetValue())));
    line(QStringLiteral("Percent = %1; # Time percentage of interest").arg(F(Percent->GetValue())));
    line(QStringLiteral("Metric = %1; # 1 = Metric, 0 = Imperial System")
             .arg(Metric->isChecked() ? 1 : 0));
    line(QStringLiteral("Temperature = %1; # Temperature in Centigrade")
             .arg(F(TEMPERATURE->GetValue())));
    line(QStringLiteral("Pressure = %1; # Atmospheric pressure in millibars")
             .arg(F(PRESSURE->GetValue())));
    line(QStringLiteral("RelativeHumidity = %1; # Relative Humidity %").arg(F(RH->GetValue())));
    line(QStringLiteral("ForcedKFactor = %1; # 1 = yes, 0 = no")
             .arg(ForcedKFactor->isChecked() ? 1 : 0));
    line(QStringLiteral("K_Factor = %1; # Effective Earth Radius factor typ 1.333")
             .arg(F(K_FACT->GetValue())));
    line(QStringLiteral("#"));
    line(QStringLiteral("[Locator]"));
    line(QStringLiteral("LocatorFormat = %1; # 0 = Maidenhead, 1 = OSGB NGR, 2 = Decimal "
                        "Degrees, 3  Deg Min Sec")
             .arg(LocatorFormat()));
    line(QStringLiteral("StartLocator = %1; ").arg(StartLoc->text()));
    line(QStringLiteral("EndLocator = %1; ").arg(EndLoc->text()));
    line(QStringLiteral("Range = %1; ").arg(F(Range->GetValue())));
    line(QStringLiteral("Bearing = %1; ").arg(F(Bearing->GetValue())));
    line(QStringLiteral("StartEndInput = %1; # 1 = Use Start and End locators, 0 = Start "
                        "locator and range/bearing")
             .arg(state.startEndInput ? 1 : 0));
    line(QStringLiteral("#"));
    line(QStringLiteral("[FilePaths]"));
    line(QStringLiteral("MapDirectory = %1; ").arg(QString::fromStdString(state.mapDirectory)));
    line(QStringLiteral("#"));
    line(QStringLiteral("[Misc]"));
    line(QStringLiteral("PaletteFormat = %1; # The palette selected")
             .arg(state.palette ? state.palette->GetType() : 0));
    line(QStringLiteral("#"));
    text += inputPage->EditionSettingsText();
    WriteFileSafely(fileName, text.toUtf8());
}

void TMainForm::SaveInitButtonClick() {
    WriteSettings(QString::fromStdString(state.startDirectory) + QStringLiteral("profile.ini"));
}

void TMainForm::ReadSettings(const QString& path) {
    const IniFile ini(path.toStdString());
    // A value missing from the file is the first-start value kestrova-cli
    // uses too.
    FREQ->SetValue(ini.GetReal("LinkData:Frequency", limits::frequency.initial));
    TX_H->SetValue(ini.GetReal("LinkData:TX_HEIGHT", limits::txHeight.initial));
    RX_H->SetValue(ini.GetReal("LinkData:RX_HEIGHT", limits::rxHeight.initial));
    Percent->SetValue(ini.GetReal("LinkData:Percent", limits::percent.initial));
    TEMPERATURE->SetValue(ini.GetReal("LinkData:Temperature", limits::temperature.initial));
    PRESSURE->SetValue(ini.GetReal("LinkData:Pressure", limits::pressure.initial));
    RH->SetValue(ini.GetReal("LinkData:RelativeHumidity", limits::humidity.initial));
    K_FACT->SetValue(ini.GetReal("LinkData:K_Factor", limits::kFactor.initial));
    ForcedKFactor->setChecked(ini.GetInt("LinkData:ForcedKFactor", 0) != 0);
    inputPage->ReadEditionSettings(ini);

    const int format = ini.GetInt("Locator:LocatorFormat", 0);
    QRadioButton* const formatButtons[] = {LOC, NGR, DEG, DMS};
    if (format >= 0 && format < 4)
        formatButtons[format]->setChecked(true);
    else
        UncheckAll({LOC, NGR, DEG, DMS});
    // A location missing from the file starts the link in the middle of the
    // default terrain tile. The texts are taken whole: a degrees, minutes and
    // seconds location is longer than 19 characters.
    const std::string start = ini.GetString("Locator:StartLocator", "IO91IN");
    const std::string end = ini.GetString("Locator:EndLocator", "IO91IO");
    Range->SetValue(ini.GetReal("Locator:Range", 10));
    Bearing->SetValue(ini.GetReal("Locator:Bearing", 0));
    state.startEndInput = ini.GetInt("Locator:StartEndInput", 1) != 0;
    state.txLocation = CLocator(start, format);
    state.rxLocation = CLocator(end, format);

    if (ini.GetInt("LinkData:Metric", 1) != 0)
        Metric->setChecked(true);
    else
        Imperial->setChecked(true);

    state.mapDirectory = ini.GetString("FilePaths:MapDirectory", "");
    if (!state.mapDirectory.empty() && state.mapDirectory.back() != '/') state.mapDirectory += '/';

    const int paletteType = ini.GetInt("Misc:PaletteFormat", 0);
    state.palette = std::make_unique<CPalette>(paletteType);
    if (paletteType >= 0 && paletteType < static_cast<int>(paletteButtons.size())) {
        paletteButtons[static_cast<std::size_t>(paletteType)]->setChecked(true);
    } else {
        for (QRadioButton* button : paletteButtons) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
}

} // namespace kestrova
