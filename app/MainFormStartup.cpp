// Start-up, terrain initialisation, reset, close, the data status line, and
// the Help and About menu entries.
#include "app/About.h"
#include "app/HelpBrowser.h"
#include "app/MainForm.h"
#include "controls/UserDialogs.h"
#include "geo/FileLocations.h"
#include "inputs/InputLimits.h"
#include "propagation/Refractivity.h"
#include "propagation/engine/MissingTerrain.h"
#include "settings/SettingsFile.h"
#include "terrain/TerrainSources.h"
#include "terrain/TileFile.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <iostream>
#include <memory>
#include <new>

namespace kestrova {
namespace {

// How long a status-bar line stays.
constexpr int statusSeconds = 30;

QString DirectoryOf(const std::string& directory) {
    return directory.empty() ? QDir::currentPath() : QString::fromStdString(directory);
}

// True when the location (a directory or one raster file) holds terrain.
bool HoldsTerrain(const std::string& location) {
    return DirectoryHoldsTiles(location);
}

std::string WithSeparator(QString directory) {
    if (!directory.endsWith(u'/')) directory += u'/';
    return directory.toStdString();
}

const QString terrainQuestion = QStringLiteral("Please select directory containing terrain data");
const QString terrainFileQuestion =
    QStringLiteral("Please select an elevation raster (GeoTIFF, VRT, Erdas Imagine, ...)");
const QString terrainFileFilter =
    QStringLiteral("Elevation rasters (*.tif *.tiff *.vrt *.img *.dt0 *.dt1 *.dt2 *.asc *.bil "
                   "*.flt *.bt *.ers *.nc *.grd *.gpkg *.jp2);;All files (*)");

// The zone map beside the executable (a build tree) or in the installed
// data directory; when there is none, the name it would have beside the
// executable, so the status line can say what is missing.
std::unique_ptr<CZONES> MakeZoneMap(const std::string& programDirectory) {
    const std::string found = FindProgramDataFile("zones01.dem");
    if (found.empty()) return std::make_unique<CZONES>(programDirectory);
    const std::size_t slash = found.rfind('/');
    return std::make_unique<CZONES>(found.substr(0, slash + 1), found.substr(slash + 1));
}

} // namespace

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (activated) return;
    activated = true;
    // Start-up runs once the window is on screen, so it never delays its
    // first paint.
    QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

void TMainForm::FormActivate() {
    activated = true;
    state.startDirectory = WithSeparator(QDir::currentPath());
    if (!InitialiseLink()) {
        Notify(QStringLiteral("Initialisation Failure"), true);
        UpdateDataStatus();
        return;
    }
    setWindowTitle(QStringLiteral("Radio path estimation using SRTM data"));
    state.refractivity = std::make_unique<CRefractivity>();
    UpdateDataStatus();
    CalculateBtnClick();
    RestorePage();
}

bool TMainForm::InitialiseLink() {
    state.initialised = false;
    state.abortRequested = false;
    ReadSettings(QString::fromStdString(state.startDirectory) + QStringLiteral("profile.ini"));
    if (!InitialiseTerrain()) return false;
    state.initialised = true;
    return true;
}

// The terrain directory in use: the chosen one (the working directory when
// none is set) when it holds tiles. A chosen directory without tiles makes
// the user choose again; without a choice the demo tile shipped with the
// program is used, so a first start calculates at once.
std::string TMainForm::TerrainDirectoryToUse() {
    if (HoldsTerrain(state.mapDirectory)) return state.mapDirectory;
    if (!state.mapDirectory.empty()) {
        const QString chosen =
            UserDialogs::Current().ExistingDirectory(this, terrainQuestion, QDir::currentPath());
        if (!chosen.isEmpty()) {
            state.mapDirectory = WithSeparator(chosen);
            RememberTerrainDirectory();
            if (HoldsTerrain(state.mapDirectory)) return state.mapDirectory;
        }
    }
    const std::string demo = DemoTileDirectory();
    return demo.empty() ? state.mapDirectory : demo;
}

// A directory chosen in the chooser is kept in the settings file at once:
// only its line changes, every other setting stays as saved.
void TMainForm::RememberTerrainDirectory() {
    const std::string path = state.startDirectory + "profile.ini";
    const WriteOutcome outcome =
        StoreSettingsValue(path, "FilePaths", "MapDirectory", state.mapDirectory);
    if (!outcome) std::cerr << "kestrova: " << outcome.message << "\n";
}

void TMainForm::ChooseTerrainDirectoryClick() {
    const QString chosen = UserDialogs::Current().ExistingDirectory(
        this, terrainQuestion, QString::fromStdString(state.terrainDirectory));
    if (chosen.isEmpty()) return;
    state.mapDirectory = WithSeparator(chosen);
    RememberTerrainDirectory();
    InitialiseTerrain();
    UpdateDataStatus();
    CalculateBtnClick();
}

// One raster file as the terrain (a GeoTIFF, or a VRT mosaic of many),
// kept in the settings file like a directory.
void TMainForm::ChooseTerrainFileClick() {
    const QString chosen = UserDialogs::Current().OpenFileName(
        this, terrainFileQuestion, DirectoryOf(state.terrainDirectory), terrainFileFilter);
    if (chosen.isEmpty()) return;
    state.mapDirectory = chosen.toStdString();
    RememberTerrainDirectory();
    InitialiseTerrain();
    UpdateDataStatus();
    CalculateBtnClick();
}

bool TMainForm::InitialiseTerrain() {
    state.terrainDirectory = TerrainDirectoryToUse();
    try {
        state.terrainStore = std::make_unique<CSRTM>(CSRTM::kTilesPerStore, state.terrainDirectory);
        state.programDirectory = WithSeparator(QCoreApplication::applicationDirPath());
        state.zoneMap = MakeZoneMap(state.programDirectory);
    } catch (const std::bad_alloc&) {
        Notify(QStringLiteral("Map initialisation failure"), true);
        return false;
    }
    try {
        state.engine = std::make_unique<CTerrain>();
    } catch (const std::bad_alloc&) {
        Notify(QStringLiteral("Memory allocation failure"), true);
        return false;
    }
    return true;
}

void TMainForm::ResetDefaults() {
    state.initialised = false;
    link.Reset(); // the data folders stay as chosen
    // Fresh data objects over the same terrain directory.
    InitialiseTerrain();
    UpdateDataStatus();
    state.initialised = true;
}

void TMainForm::RESETClick() {
    ResetDefaults();
    CalculateBtnClick();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    RememberWindowPlace();
    FormClose();
    if (about) about->hide();
    if (helpBrowser) helpBrowser->hide();
    QMainWindow::closeEvent(event);
}

void TMainForm::FormClose() {
    state.initialised = false; // nothing calculates without the objects
    state.refractivity.reset();
    state.terrainStore.reset();
    state.zoneMap.reset();
    state.engine.reset();
}

void TMainForm::UpdateDataStatus() {
    QStringList parts;
    const std::string demo = DemoTileDirectory();
    if (!demo.empty() && state.terrainDirectory == demo && state.mapDirectory != demo) {
        parts << QStringLiteral("Terrain: ") + QString::fromUtf8(demoTileDescription);
    } else {
        const TerrainSummary summary = SummariseTerrain(state.terrainDirectory);
        parts << QStringLiteral("Terrain: %1 tile%2 in %3")
                     .arg(summary.tiles)
                     .arg(summary.tiles == 1 ? "" : "s")
                     .arg(QDir::toNativeSeparators(DirectoryOf(state.terrainDirectory)));
        const std::vector<std::string> lines = DescribeTerrain(summary);
        for (std::size_t i = summary.tiles > 0 ? 1 : 0; i < lines.size(); ++i)
            parts << QStringLiteral("Terrain raster %1").arg(QString::fromStdString(lines[i]));
    }

    parts << MapStatusText();

    std::vector<std::string> problems = SummariseTerrain(state.terrainDirectory).problems;
    if (state.terrainStore)
        for (const std::string& problem : state.terrainStore->TileProblems())
            if (std::find(problems.begin(), problems.end(), problem) == problems.end())
                problems.push_back(problem);
    for (const std::string& problem : problems)
        parts << (problem.rfind("raster ", 0) == 0
                      ? QStringLiteral("Terrain %1: skipped").arg(QString::fromStdString(problem))
                      : QStringLiteral("Terrain tile %1: read as missing terrain")
                            .arg(QString::fromStdString(problem)));

    const bool zones = state.zoneMap && state.zoneMap->IsUsable();
    parts << (zones ? QStringLiteral("Zone map: present")
                    : QStringLiteral("Zone map: zones01.dem missing, every point taken as zone 0 "
                                     "(land, not inland)"));
    if (const std::string settings = SettingsFileProblem(state.startDirectory + "profile.ini");
        !settings.empty())
        parts << QStringLiteral("Settings: %1, defaults in use")
                     .arg(QString::fromStdString(settings));
    else if (!state.settingsNotes.empty())
        parts << QStringLiteral("Settings: profile.ini: %1")
                     .arg(QString::fromStdString(state.settingsNotes));
    dataStatus->setText(parts.join(QStringLiteral("  |  ")));
}

QString TMainForm::MapStatusText() const {
    std::unique_ptr<CRefractivity> ownMaps;
    const CRefractivity* maps = state.refractivity.get();
    if (maps == nullptr) maps = (ownMaps = std::make_unique<CRefractivity>()).get();
    QStringList loaded;
    QStringList missing;
    QStringList damaged;
    // The 0.5° maps n0.txt and dn.txt are optional: their absence goes unsaid.
    using R = CRefractivity;
    for (const int slot :
         {int{R::N0}, int{R::DN}, int{R::mapCount}, R::mapCount + 1, int{R::DNDZ_90},
          int{R::DNDZ_50}, int{R::DNDZ_10}, int{R::DNDZ_01}, int{R::S_OCCUR}, int{R::E_OCCUR}}) {
        const CRefractivity::MapState map = maps->State(slot);
        const QString name = QString::fromStdString(map.fileName);
        if (map.loaded)
            loaded << name;
        else if (map.problem != "missing")
            damaged << name + QStringLiteral(" (") + QString::fromStdString(map.problem) +
                           QStringLiteral(")");
        else if (slot != CRefractivity::N0 && slot != CRefractivity::DN)
            missing << name;
    }
    QStringList text;
    text << QStringLiteral("loaded ") +
                (loaded.isEmpty() ? QStringLiteral("none") : loaded.join(QStringLiteral(", ")));
    if (!missing.isEmpty()) text << QStringLiteral("missing ") + missing.join(QStringLiteral(", "));
    if (!damaged.isEmpty()) text << QStringLiteral("damaged ") + damaged.join(QStringLiteral(", "));
    if (!maps->UnusableRefractivityMaps().empty())
        text << QStringLiteral("N0/ΔN defaults 320 N-units and 45 N/km in use");
    return QStringLiteral("Radio-climate maps: ") + text.join(QStringLiteral("; "));
}

void TMainForm::ShowN0Source(const CalculationInputs& inputs) {
    QString text;
    switch (inputs.n0Source) {
    case N0Source::Maps:
        text = QStringLiteral("N0/ΔN from the maps");
        break;
    case N0Source::Given:
        text = QStringLiteral("N0/ΔN as given");
        break;
    case N0Source::Last:
        text = QStringLiteral("N0/ΔN of the last calculation with maps");
        break;
    case N0Source::Default:
        text = QStringLiteral("N0/ΔN defaults %1 N-units and %2 N/km in use")
                   .arg(inputs.link.n0)
                   .arg(inputs.link.deltaN);
        break;
    }
    QStringList reasons;
    for (const UnusableMap& map : inputs.unusableMaps)
        reasons << QString::fromStdString(map.file + ": " + map.problem);
    if (!reasons.isEmpty()) text += QStringLiteral(" (") + reasons.join(QStringLiteral("; ")) + ")";
    n0Status->setText(text);
}

void TMainForm::ShowTerrainStatus(double missingFraction) {
    QString text = QString::fromStdString(MissingTerrainText(missingFraction, "the path"));
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    terrainStatus->setText(text);
    terrainStatus->setVisible(!text.isEmpty());
}

void TMainForm::Notify(const QString& text, bool error) {
    UserDialogs::Current().Message(
        this, error ? UserDialogs::Kind::Error : UserDialogs::Kind::Information, text);
}

void TMainForm::Status(const QString& text) {
    statusBar()->showMessage(text, statusSeconds * 1000);
}

void TMainForm::SetPalette(int type) {
    state.palette = std::make_unique<CPalette>(type);
}

THelpBrowser* TMainForm::HelpBrowser() const {
    return helpBrowser;
}

TAbout* TMainForm::About() const {
    return about;
}

void TMainForm::Help1Click() {
    HelpTopic(QString());
}

void TMainForm::HelpTopic(const QString& keyword) {
    if (!helpBrowser) helpBrowser = new THelpBrowser(this);
    helpBrowser->ShowTopic(keyword);
    helpBrowser->show();
    helpBrowser->raise();
}

void TMainForm::About1Click() {
    if (!about) about = new TAbout(this);
    about->move(geometry().center() - about->rect().center());
    about->show();
    about->raise();
}

} // namespace kestrova
