// The settings file, and the safe writes of every file the window saves whole.
#include "app/IniFile.h"
#include "app/MainForm.h"
#include "app/pages/CoveragePage.h"
#include "app/pages/ImageTools.h"
#include "app/pages/TerrainMapPage.h"
#include "controls/UserDialogs.h"
#include "files/SafeWrite.h"

#include <iostream>
#include <string_view>

namespace kestrova {
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
    text += link.SettingsText();
    line(QStringLiteral("[FilePaths]"));
    line(QStringLiteral("MapDirectory = %1; ")
             .arg(QString::fromStdString(SettingsValueText(state.mapDirectory))));
    text += LandCoverSettingsText();
    line(QStringLiteral("#"));
    line(QStringLiteral("[Misc]"));
    line(QStringLiteral("PaletteFormat = %1; # The palette selected")
             .arg(state.palette ? state.palette->GetType() : 0));
    WriteFileSafely(fileName, text.toUtf8());
}

void TMainForm::SaveInitButtonClick() {
    WriteSettings(QString::fromStdString(state.startDirectory) + QStringLiteral("profile.ini"));
}

void TMainForm::ReadSettings(const QString& path) {
    const IniFile ini(path.toStdString());
    // A value missing from the file is the first-start value kestrova-cli
    // uses too; one outside its limits, or not a number, gives way to it,
    // with a note naming the key in the status bar.
    std::vector<std::string> notes;
    link.ReadSettings(ini, notes);
    coveragePage->ReadSettings(ini, notes);

    state.mapDirectory = ini.GetString("FilePaths:MapDirectory", "");
    if (!state.mapDirectory.empty() && state.mapDirectory.back() != '/') state.mapDirectory += '/';
    ReadLandCoverSettings(ini, notes);

    const int paletteType =
        ini.GetLimitedInt("Misc:PaletteFormat", 0, PaletteSchwarzwald, 0, notes);
    SetPalette(paletteType);
    terrainMapPage->ShowPalette(paletteType);

    state.settingsNotes.clear();
    for (const std::string& note : notes)
        state.settingsNotes += (state.settingsNotes.empty() ? "" : "; ") + note;
}

} // namespace kestrova
