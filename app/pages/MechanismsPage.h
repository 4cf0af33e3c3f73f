// TMechanismsPage: the "Mechanisms" page. Each showing charts, for the
// current link, the diffraction, ducting, troposcatter and overall losses
// (each with the path's gaseous loss) at ten time percentages from 0.001 to
// 50 %, on a log axis of time and an inverted axis of loss. The page runs
// its calculations on an engine of its own, so the link's figures on the
// other pages stay as the last calculation left them.
#pragma once

#include "app/pages/Page.h"

#include <array>
#include <memory>

class QLabel;
class QLineSeries;
class QLogValueAxis;
class QValueAxis;

namespace kestrova {

class CTerrain;
class TChartView;

class TMechanismsPage : public TPage {
    Q_OBJECT
public:
    explicit TMechanismsPage(TPageHost& host);
    ~TMechanismsPage() override;

    void PageShow() override { MechanismsShow(); }

public Q_SLOTS:
    void MechanismsShow();
    void Chart2DblClick();
    // The losses at the time percentage under the mouse.
    void Chart2MouseMove(QPoint position);

private:
    TChartView* Chart2 = nullptr;
    QLabel* MechanismsReadout = nullptr;
    std::array<QLineSeries*, 4> series{}; // Series3 .. Series6
    QLogValueAxis* bottomAxis = nullptr;
    QValueAxis* leftAxis = nullptr;
    std::unique_ptr<CTerrain> engine;
};

} // namespace kestrova
