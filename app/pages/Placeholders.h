// Pages still to be built, as placeholders that hold their tab, caption and
// object name and the controls other parts of the window already use: the
// evaluation panels (which switch the link to range and bearing), and the
// site database. A page made later replaces its
// placeholder in TMainForm's list of pages.
#pragma once

namespace kestrova {

class TPage;
class TPageHost;

TPage* NewEvaluationPlaceholder(TPageHost& host);
TPage* NewSiteDatabasePlaceholder(TPageHost& host);

} // namespace kestrova
