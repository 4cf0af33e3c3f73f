// The land cover of the window: the "Land Cover..." menu entry, its keys in
// profile.ini (FilePaths: LandCover, LandCoverClasses, ClutterTable), and
// the land cover opened for the calculations, which take their P.452-18
// clutter heights from it.
#include "app/IniFile.h"
#include "app/MainForm.h"
#include "controls/UserDialogs.h"
#include "files/InputFile.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QFileInfo>
#include <QStringList>

#include <iostream>

namespace kestrova {
namespace {

constexpr std::size_t kMostClutterTableBytes = 1024 * 1024;

// The table of the classes with the user's clutter table over it; "" in
// problem when it was read.
ClutterTable TableOf(LandCoverClasses classes, const std::string& file, std::string& problem) {
    ClutterTable table = ClutterTable::BuiltIn(classes);
    if (file.empty()) return table;
    std::string text;
    if (!ReadWholeFile(file, kMostClutterTableBytes, text, problem)) {
        problem = "clutter table \"" + file + "\" " + problem;
        return table;
    }
    const ClutterTableText parsed = ParseClutterTable(text);
    if (!parsed.problem.empty()) problem = "clutter table \"" + file + "\" " + parsed.problem;
    table.Override(parsed.entries);
    return table;
}

} // namespace

std::string TMainForm::OpenLandCover() {
    state.landCover.reset();
    if (noLandCover) noLandCover->setEnabled(!state.landCoverFile.empty());
    if (state.landCoverFile.empty()) return {};
    std::string problem;
    ClutterTable table = TableOf(state.landCoverClasses, state.clutterTableFile, problem);
    if (!problem.empty()) return problem;
    state.landCover = CLandCover::Open(state.landCoverFile, std::move(table), problem);
    return state.landCover ? std::string()
                           : "land cover \"" + state.landCoverFile + "\" " + problem;
}

void TMainForm::RememberLandCover() {
    const std::string path = state.startDirectory + "profile.ini";
    for (const auto& [key, value] :
         {std::pair<const char*, std::string>{"LandCover", state.landCoverFile},
          {"LandCoverClasses", LandCoverClassesName(state.landCoverClasses)}}) {
        const WriteOutcome outcome = StoreSettingsValue(path, "FilePaths", key, value);
        if (!outcome) std::cerr << "kestrova: " << outcome.message << "\n";
    }
}

void TMainForm::ChooseLandCoverClick() {
    const QString chosen = UserDialogs::Current().OpenFileName(
        this, QStringLiteral("Land cover raster (ESA WorldCover, CORINE Land Cover)"),
        QString::fromStdString(state.landCoverFile.empty() ? state.lastFolder
                                                           : state.landCoverFile),
        QStringLiteral("Land cover rasters (*.tif *.tiff *.vrt *.img);;All files (*)"));
    if (chosen.isEmpty()) return;
    const bool corine = UserDialogs::Current().Question(
        this, QStringLiteral("Does %1 hold CORINE Land Cover classes?\n(No: ESA WorldCover "
                             "classes)")
                  .arg(QFileInfo(chosen).fileName()));
    const std::string previousFile = state.landCoverFile;
    const LandCoverClasses previousClasses = state.landCoverClasses;
    state.landCoverFile = chosen.toStdString();
    state.landCoverClasses = corine ? LandCoverClasses::Corine : LandCoverClasses::WorldCover;
    if (const std::string problem = OpenLandCover(); !problem.empty()) {
        Notify(QString::fromStdString(problem), true);
        state.landCoverFile = previousFile; // the land cover in use stays
        state.landCoverClasses = previousClasses;
        OpenLandCover();
        return;
    }
    RememberLandCover();
    CalculateBtnClick();
    // Classes the table does not hold, met on the link's path: named once.
    QStringList unknown;
    for (const int code : state.landCover->UnknownCodes())
        unknown << QString::number(code);
    if (!unknown.isEmpty())
        Notify(QStringLiteral("%1: class(es) %2 are not in the %3 table and read as 0 m of "
                              "clutter")
                   .arg(QFileInfo(chosen).fileName(), unknown.join(QStringLiteral(", ")),
                        corine ? QStringLiteral("CORINE") : QStringLiteral("WorldCover")));
}

void TMainForm::NoLandCoverClick() {
    state.landCoverFile.clear();
    OpenLandCover();
    RememberLandCover();
    CalculateBtnClick();
}

void TMainForm::ReadLandCoverSettings(const IniFile& ini, std::vector<std::string>& notes) {
    state.landCoverFile = ini.GetString("FilePaths:LandCover", "");
    state.clutterTableFile = ini.GetString("FilePaths:ClutterTable", "");
    const std::string classes = ini.GetString("FilePaths:LandCoverClasses", "worldcover");
    state.landCoverClasses = ParseLandCoverClasses(classes).value_or(LandCoverClasses::WorldCover);
    if (!ParseLandCoverClasses(classes))
        notes.push_back("FilePaths:LandCoverClasses \"" + classes +
                        "\" is neither worldcover nor corine: worldcover used");
    if (const std::string problem = OpenLandCover(); !problem.empty())
        notes.push_back(problem + ": no land cover used");
}

QString TMainForm::LandCoverSettingsText() const {
    QString text;
    const auto line = [&text](const QString& key, const std::string& value) {
        text += key + QStringLiteral(" = ") + QString::fromStdString(SettingsValueText(value)) +
                QStringLiteral("; \n");
    };
    if (!state.landCoverFile.empty()) {
        line(QStringLiteral("LandCover"), state.landCoverFile);
        line(QStringLiteral("LandCoverClasses"), LandCoverClassesName(state.landCoverClasses));
    }
    if (!state.clutterTableFile.empty())
        line(QStringLiteral("ClutterTable"), state.clutterTableFile);
    return text;
}

} // namespace kestrova
