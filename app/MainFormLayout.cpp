// The window's shell: the page control with its pages, the menu, the status
// bar, and the page changes.
#include "app/MainForm.h"
#include "app/pages/CoveragePage.h"
#include "app/pages/EvaluationPage.h"
#include "app/pages/InputPage.h"
#include "app/pages/MechanismsPage.h"
#include "app/pages/RefractivityPage.h"
#include "app/pages/SiteDatabasePage.h"
#include "app/pages/TablePage.h"
#include "app/pages/TerrainMapPage.h"
#include "app/pages/ZoneMapPage.h"

#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>

namespace kestrova {
TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Kestrova"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    setCentralWidget(PageControl1);

    // The pages in tab order, each a TPage of its own (app/pages).
    AddPage(inputPage = new TInputPage(*this));
    AddPage(tablePage = new TTablePage(*this));
    AddPage(refractivityPage = new TRefractivityPage(*this));
    AddPage(terrainMapPage = new TTerrainMapPage(*this));
    AddPage(zoneMapPage = new TZoneMapPage(*this));
    AddPage(mechanismsPage = new TMechanismsPage(*this));
    AddPage(coveragePage = new TCoveragePage(*this));
    AddPage(evaluationPage = new TEvaluationPage(*this));
    AddPage(siteDatabasePage = new TSiteDatabasePage(*this));
    ConnectLink();
    BuildMenu();

    dataStatus = new QLabel(this);
    dataStatus->setObjectName(QStringLiteral("DataStatus"));
    // A long status never widens the window beyond the screen.
    dataStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(dataStatus, 1);
    n0Status = new QLabel(this);
    n0Status->setObjectName(QStringLiteral("N0Status"));
    terrainStatus = new QLabel(this);
    terrainStatus->setObjectName(QStringLiteral("TerrainStatus"));
    terrainStatus->setStyleSheet(QStringLiteral("color: red"));
    terrainStatus->hide();
    statusBar()->addPermanentWidget(terrainStatus);
    statusBar()->addPermanentWidget(n0Status);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::PageControl1Change);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TMainForm::CurrentPageHelp);
    PlaceWindow();
}

TMainForm::~TMainForm() = default;

void TMainForm::AddPage(TPage* page) {
    // Every page scrolls where the window is smaller than the page, so the
    // window fits any screen.
    auto* scroll = new QScrollArea(PageControl1);
    scroll->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    PageControl1->addTab(scroll, page->Caption());
}

void TMainForm::ShowPage(QWidget* page) {
    for (int i = 0; i < PageControl1->count(); ++i)
        if (PageControl1->widget(i)->isAncestorOf(page)) PageControl1->setCurrentIndex(i);
}

void TMainForm::PageControl1Change(int index) {
    state.abortRequested = true; // leaving a page stops its long work
    auto* scroll = qobject_cast<QScrollArea*>(PageControl1->widget(index));
    if (auto* page = scroll ? qobject_cast<TPage*>(scroll->widget()) : nullptr) page->PageShow();
}

// The link's problems, its refractivity source and its missing terrain in
// the window's messages and status bar.
void TMainForm::ConnectLink() {
    connect(&link, &TLinkController::Problem, this,
            [this](const QString& text) { Notify(text, true); });
    connect(&link, &TLinkController::N0Source, this, &TMainForm::ShowN0Source);
    connect(&link, &TLinkController::TerrainMissing, this, &TMainForm::ShowTerrainStatus);
    connect(&link, &TLinkController::TerrainProblems, this, &TMainForm::UpdateDataStatus);
}

void TMainForm::BuildMenu() {
    QAction* terrain = menuBar()->addAction(QStringLiteral("Terrain Directory..."));
    terrain->setObjectName(QStringLiteral("TerrainDirectory1"));
    connect(terrain, &QAction::triggered, this, &TMainForm::ChooseTerrainDirectoryClick);
    QAction* terrainFile = menuBar()->addAction(QStringLiteral("Terrain File..."));
    terrainFile->setObjectName(QStringLiteral("TerrainFile1"));
    terrainFile->setToolTip(
        QStringLiteral("One elevation raster as the terrain: a GeoTIFF, a VRT mosaic, ..."));
    connect(terrainFile, &QAction::triggered, this, &TMainForm::ChooseTerrainFileClick);
    QAction* landCover = menuBar()->addAction(QStringLiteral("Land Cover..."));
    landCover->setObjectName(QStringLiteral("LandCover1"));
    connect(landCover, &QAction::triggered, this, &TMainForm::ChooseLandCoverClick);
    noLandCover = menuBar()->addAction(QStringLiteral("No Land Cover"));
    noLandCover->setObjectName(QStringLiteral("NoLandCover1"));
    noLandCover->setEnabled(false);
    connect(noLandCover, &QAction::triggered, this, &TMainForm::NoLandCoverClick);
    QAction* help1 = menuBar()->addAction(QStringLiteral("Help"));
    help1->setObjectName(QStringLiteral("Help1"));
    QAction* about1 = menuBar()->addAction(QStringLiteral("About"));
    about1->setObjectName(QStringLiteral("About1"));
    connect(help1, &QAction::triggered, this, &TMainForm::Help1Click);
    connect(about1, &QAction::triggered, this, &TMainForm::About1Click);
}

} // namespace kestrova
