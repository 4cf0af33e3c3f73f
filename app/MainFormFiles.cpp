// The settings file, and the safe writes of every file the window saves whole.
#include "app/IniFile.h"
#include "app/MainForm.h"
#include "app/pages/CoveragePage.h"
#include "app/pages/ImageTools.h"
#include "app/pages/InputPage.h"
#include "controls/NumEdit.h"
#include "controls/UserDialogs.h"
#include "files/SafeWrite.h"
#include "inputs/InputLimits.h"

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

} // namespace

bool TMainForm::WriteFileSafely(const QString& fileName, const QByteArray& bytes) {
    // The core's safe writer: a failure leaves the previous content in
    // place, and a directory, FIFO or device is never replaced.
    const WriteOutcome outcome = WriteFileAtomically(
        fileName.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (outcome) {
        Status(SavedText(fileName));
        return true;
    }
    std::cerr << "kestrova: " << outcome.message << "\n";
    // The reason too ("could not write \"…\": the file is read-only").
    Notify(QStringLiteral("Could not save file! ") + QString::fromStdString(outcome.message), true);
    return false;
}

bool TMainForm::AppendToFileSafely(const QString& fileName, const QByteArray& bytes) {
    const WriteOutcome outcome =
        AppendToFile(fileName.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (outcome) {
        Status(SavedText(fileName));
        return true;
    }
    std::cerr << "kestrova: " << outcome.message << "\n";
    // The reason too ("could not write \"…\": the file is read-only").
    Notify(QStringLiteral("Could not save file! ") + QString::fromStdString(outcome.message), true);
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
    line(QStringLiteral("MapDirectory = %1; ")
             .arg(QString::fromStdString(SettingsValueText(state.mapDirectory))));
    text += LandCoverSettingsText();
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
    // uses too; one outside its field's limits, or not a number, gives way to
    // it, with a note naming the key in the status bar.
    std::vector<std::string> notes;
    const auto real = [&](const char* key, const InputLimit& limit) {
        return ini.GetLimitedReal(key, limit.minimum, limit.maximum, limit.initial, notes);
    };
    FREQ->SetValue(real("LinkData:Frequency", limits::frequency));
    TX_H->SetValue(real("LinkData:TX_Height", limits::txHeight));
    RX_H->SetValue(real("LinkData:RX_Height", limits::rxHeight));
    Percent->SetValue(real("LinkData:Percent", limits::percent));
    TEMPERATURE->SetValue(real("LinkData:Temperature", limits::temperature));
    PRESSURE->SetValue(real("LinkData:Pressure", limits::pressure));
    RH->SetValue(real("LinkData:RelativeHumidity", limits::humidity));
    K_FACT->SetValue(real("LinkData:K_Factor", limits::kFactor));
    ForcedKFactor->setChecked(ini.GetInt("LinkData:ForcedKFactor", 0) != 0);
    inputPage->ReadEditionSettings(ini);
    coveragePage->ReadSettings(ini, notes);

    const int format = ini.GetLimitedInt("Locator:LocatorFormat", 0, 3, 0, notes);
    QRadioButton* const formatButtons[] = {LOC, NGR, DEG, DMS};
    formatButtons[format]->setChecked(true);
    // A location missing from the file starts the link in the middle of the
    // default terrain tile. The texts are taken whole: a degrees, minutes and
    // seconds location is longer than 19 characters.
    const std::string start = ini.GetString("Locator:StartLocator", "IO91IN");
    const std::string end = ini.GetString("Locator:EndLocator", "IO91IO");
    Range->SetValue(real("Locator:Range", limits::range));
    Bearing->SetValue(real("Locator:Bearing", limits::bearing));
    state.startEndInput = ini.GetInt("Locator:StartEndInput", 1) != 0;
    state.txLocation = CLocator(start, format);
    state.rxLocation = CLocator(end, format);

    if (ini.GetInt("LinkData:Metric", 1) != 0)
        Metric->setChecked(true);
    else
        Imperial->setChecked(true);

    state.mapDirectory = ini.GetString("FilePaths:MapDirectory", "");
    if (!state.mapDirectory.empty() && state.mapDirectory.back() != '/') state.mapDirectory += '/';
    ReadLandCoverSettings(ini, notes);

    const int paletteType = ini.GetLimitedInt(
        "Misc:PaletteFormat", 0, static_cast<int>(paletteButtons.size()) - 1, 0, notes);
    state.palette = std::make_unique<CPalette>(paletteType);
    paletteButtons[static_cast<std::size_t>(paletteType)]->setChecked(true);

    state.settingsNotes.clear();
    for (const std::string& note : notes)
        state.settingsNotes += (state.settingsNotes.empty() ? "" : "; ") + note;
}

} // namespace kestrova
