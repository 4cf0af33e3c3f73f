// TMainForm: the main window, the shell around the pages. It holds the menu,
// the page control and the status bar, owns LinkState with the long-lived
// data objects and the link controller (TLinkController: the link's inputs
// and calculation), runs the start-up sequence once on first activation,
// and assembles the settings file. Each page is a TPage of its own
// (app/pages) that reaches the window through TPageHost and the link
// through the controller. Every message box and file dialog goes through
// UserDialogs.
#pragma once

#include "app/LinkController.h"
#include "app/LinkState.h"
#include "app/pages/PageHost.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QLabel;
class QTabWidget;
class QAction;

namespace kestrova {

class IniFile;
class TAbout;
class TCoveragePage;
class TEvaluationPage;
class THelpBrowser;
class TInputPage;
class TMechanismsPage;
class TPage;
class TRefractivityPage;
class TSiteDatabasePage;
class TTablePage;
class TTerrainMapPage;
class TZoneMapPage;

// The help topic of the page of that object name ("InputData", ...), and
// every page's topic.
QString PageHelpTopic(const QString& pageName);
QStringList PageHelpTopics();

class TMainForm : public QMainWindow, public TPageHost {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    const LinkState& State() const { return state; }
    // The selected location format (FormatMaidenhead ... FormatDMS).
    int LocatorFormat() const { return link.Setup().Format(); }
    // The link's inputs now, as a calculation would take them.
    LinkInputs CurrentLinkInputs() const { return link.CurrentLinkInputs(); }
    // The help browser, created on first use (null before).
    THelpBrowser* HelpBrowser() const;
    TAbout* About() const;
    // Makes the page holding the widget the current one (a page is found by
    // its object, never by its tab's position).
    void ShowPage(QWidget* page);
    // The current page.
    TPage* CurrentPage() const;

    // TPageHost.
    LinkState& State() override { return state; }
    TLinkController& Link() override { return link; }
    void SetPalette(int type) override;
    bool WriteFileSafely(const QString& fileName, const QByteArray& bytes) override;
    bool AppendToFileSafely(const QString& fileName, const QByteArray& bytes) override;
    void Notify(const QString& text, bool error = false) override;
    void Status(const QString& text) override;

    // Operations shared with start-up and reset.
    bool InitialiseLink();
    bool InitialiseTerrain();
    void ResetDefaults();
    void WriteSettings(const QString& fileName);
    void ReadSettings(const QString& path);

public Q_SLOTS:
    void FormActivate();
    // The link calculation (the "Calculate" button).
    void CalculateBtnClick() { link.Calculate(); }
    void RESETClick() override;
    void SaveInitButtonClick() override;
    void Help1Click();
    void About1Click();
    void HelpTopic(const QString& keyword);
    // F1: the current page's help topic.
    void CurrentPageHelp();
    void ChooseTerrainDirectoryClick();
    void ChooseTerrainFileClick();
    // "Land Cover...": a land-cover raster and its classes, kept in
    // profile.ini at once; "No Land Cover" stops using it.
    void ChooseLandCoverClick();
    void NoLandCoverClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void AddPage(TPage* page);
    void ConnectLink();
    void BuildMenu();
    void PageControl1Change(int index);
    void ShowTerrainStatus(double missingFraction);
    void FormClose();
    void UpdateDataStatus();
    // "Radio-climate maps: loaded ...; missing ...; damaged N050.TXT (why)".
    QString MapStatusText() const;
    // Beside the result: where the link's N0 and ΔN came from.
    void ShowN0Source(const CalculationInputs& inputs);
    std::string TerrainDirectoryToUse();
    void RememberTerrainDirectory();
    // Opens state's land cover; "" when it opened (or none is set), else why
    // not (the land cover is then not used).
    std::string OpenLandCover();
    void RememberLandCover();
    void ReadLandCoverSettings(const IniFile& ini, std::vector<std::string>& notes);
    QString LandCoverSettingsText() const;
    void PlaceWindow();
    void RestorePage();
    void RememberWindowPlace();

    LinkState state;
    TLinkController link{state};
    bool activated = false;
    int keptPage = -1;      // the page current at the last close, until start-up has run
    QPointer<TAbout> about; // a child of the window, made on first use
    QPointer<THelpBrowser> helpBrowser; // likewise

    QTabWidget* PageControl1 = nullptr;
    QLabel* dataStatus = nullptr;
    QLabel* n0Status = nullptr; // where the last link's N0 and ΔN came from
    // How much of the last link's path had no terrain data (empty: none).
    QLabel* terrainStatus = nullptr;
    // The pages (owned by their tabs).
    TInputPage* inputPage = nullptr;
    TTablePage* tablePage = nullptr;
    TRefractivityPage* refractivityPage = nullptr;
    TTerrainMapPage* terrainMapPage = nullptr;
    TZoneMapPage* zoneMapPage = nullptr;
    TMechanismsPage* mechanismsPage = nullptr;
    TCoveragePage* coveragePage = nullptr;
    TEvaluationPage* evaluationPage = nullptr;
    TSiteDatabasePage* siteDatabasePage = nullptr;

    QAction* noLandCover = nullptr; // enabled while a land cover is in use
};

} // namespace kestrova
