// TTablePage: the "Tabulated Data" page. The profile of the last valid link
// as a list of lines (range and height of every sample after a header),
// shown in five columns across the page; a double click saves the list as
// the profile table file.
#pragma once

#include "app/pages/Page.h"

class QListWidget;

namespace kestrova {

struct TerrainProfile;

class TTablePage : public TPage {
    Q_OBJECT
public:
    explicit TTablePage(TPageHost& host);

    // The table of a valid calculation, in metres or in miles and feet.
    void ShowProfile(const TerrainProfile& profile, bool metric);

public Q_SLOTS:
    void ProfileDblClick();

protected:
    // Keeps five columns across the list as its width changes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Five columns across the list, each at least as wide as the widest line.
    void FitColumns();

    QListWidget* Profile = nullptr;
    QString profileTableFileName; // SaveDialog1's name, kept for the run
    int widestLine = 0;           // pixels
};

} // namespace kestrova
