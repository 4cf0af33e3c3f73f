// TSiteDatabasePage: the "Site Database" page. "Load" reads a site file
// (name~location~mast height~frequency, one site a line) into the window's
// site database and lists its sites with their locator and mast height;
// selecting one shows its summary, and "Copy site to Tx" / "Copy site to
// Rx" put it at either end of the link (location in the selected format,
// antenna height and frequency when within their fields' limits) and
// recalculate. A site the selected format cannot hold (an OSGB grid
// reference abroad) switches the link to decimal degrees first, and the
// status bar says so, as it does when a copy changes the link's frequency.
// Lines that are not sites are left out of the list; the count
// says how many, and its tooltip which and why.
#pragma once

#include "app/pages/Page.h"
#include "sites/Sites.h"

#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace kestrova {

class TSiteDatabasePage : public TPage {
    Q_OBJECT
public:
    explicit TSiteDatabasePage(TPageHost& host);
    ~TSiteDatabasePage() override;

    // The database held, or null before the first load.
    const CSites* Sites() const { return sites.get(); }

public Q_SLOTS:
    void LoadSitesButtonClick();
    void SiteListClick();
    void CopyTxClick();
    void CopyRxClick();

private:
    // The selected site of a loaded database, or null.
    const CSite* SelectedSite() const;
    void Clear();
    void ShowDatabase();
    // Location, antenna height (into heightField) and frequency of the
    // selected site, then the link calculation.
    void CopySelected(bool transmitter);

    QPushButton* LoadSitesButton = nullptr;
    QTreeWidget* SiteList = nullptr;
    QLabel* NumSitesLabel = nullptr;
    QPlainTextEdit* SiteInfo = nullptr;
    QPushButton* CopyTx = nullptr;
    QPushButton* CopyRx = nullptr;

    std::unique_ptr<CSites> sites; // the window's site database
};

} // namespace kestrova
