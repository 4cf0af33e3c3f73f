// TMainForm: the main window, the shell around the pages. It holds the menu,
// the page control and the status bar, owns LinkState and with it the
// long-lived data objects, runs the start-up sequence once on first
// activation, resets the inputs, reads and writes the settings file, and
// runs the operations that several pages start: the link calculation above
// all. Each page is a TPage of its own (app/pages) that reaches the window
// through TPageHost; the window shows a page's results through the page's
// own operations. Every message box and file dialog goes through UserDialogs.
#pragma once

#include "app/LinkState.h"
#include "app/pages/PageHost.h"
#include "propagation/engine/EngineInputs.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
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
class TNumEdit;
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
    int LocatorFormat() const override;
    LinkInputs CurrentLinkInputs() override;
    double TimePercent() override;
    std::optional<CoverageLinkInputs> CoverageLink() override;
    QString LinkFieldText(const char* name) override;
    bool LinkOption(const char* name) override;
    void SetLinkFieldText(const char* name, const QString& text) override;
    std::optional<CalculationSettings> LinkSettings(bool report) override;
    bool WriteFileSafely(const QString& fileName, const QByteArray& bytes) override;
    bool AppendToFileSafely(const QString& fileName, const QByteArray& bytes) override;
    void Notify(const QString& text, bool error = false) override;
    void Status(const QString& text) override;
    void SetLocatorFormat(int format) override;

    // Operations shared with start-up and reset.
    void ShowInputMode(bool startEnd);
    void LOCClick();
    QString SiteHeightText(const CLocator& location);
    bool InitialiseLink();
    bool InitialiseTerrain();
    void ResetDefaults();
    void WriteSettings(const QString& fileName);
    void ReadSettings(const QString& path);

public Q_SLOTS:
    void FormActivate();
    void CalculateBtnClick() override;
    void Panel1Click() override;
    void Panel2Click() override;
    void PaletteButtonClick() override;
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
    void BindLinkInputs();
    void BuildMenu();
    void PageControl1Change(int index);
    void GasLossStep(double rangeKm);
    CalculationSettings CurrentSettings();
    CalculationInputs CurrentCalculationInputs();
    bool RunEngine();
    void ShowProfileResults();
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

    // The link inputs, which the calculation, start-up, reset and the
    // settings file read and write: controls of the input page (and the
    // palette buttons of the terrain map page), found by name.
    QLineEdit* StartLoc = nullptr;
    QLineEdit* EndLoc = nullptr;
    TNumEdit* Range = nullptr;
    TNumEdit* Bearing = nullptr;
    QRadioButton* DMS = nullptr;
    QRadioButton* DEG = nullptr;
    QRadioButton* NGR = nullptr;
    QRadioButton* LOC = nullptr;
    TNumEdit* FREQ = nullptr;
    TNumEdit* TX_H = nullptr;
    TNumEdit* RX_H = nullptr;
    TNumEdit* RH = nullptr;
    TNumEdit* TEMPERATURE = nullptr;
    TNumEdit* PRESSURE = nullptr;
    TNumEdit* Percent = nullptr;
    TNumEdit* K_FACT = nullptr;
    QCheckBox* ForcedKFactor = nullptr;
    QRadioButton* Metric = nullptr;
    QRadioButton* Imperial = nullptr;
    QCheckBox* INTERPOLATE = nullptr;
    std::array<QRadioButton*, 6> paletteButtons{}; // in palette type order
    QAction* noLandCover = nullptr;                // enabled while a land cover is in use
};

} // namespace kestrova
