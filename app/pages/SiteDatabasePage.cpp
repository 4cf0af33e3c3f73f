// The "Site Database" page (see SiteDatabasePage.h).
#include "app/pages/SiteDatabasePage.h"

#include "app/pages/ImageTools.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/NumEdit.h"
#include "controls/UserDialogs.h"
#include "geo/Locator.h"
#include "inputs/InputLimits.h"
#include "sites/SiteTexts.h"

#include <QFile>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <new>

namespace kestrova {
namespace {

// The location format as its radio button names it.
QString FormatName(int format) {
    switch (format) {
    case FormatNGR:
        return QStringLiteral("an OSGB grid reference");
    case FormatDegrees:
        return QStringLiteral("decimal degrees");
    case FormatDMS:
        return QStringLiteral("degrees, minutes and seconds");
    default:
        return QStringLiteral("a Maidenhead locator");
    }
}

// "Line 7: reason", one skipped line a row (the first 50).
QString SkippedLinesText(const CSites& sites) {
    constexpr int shown = 50;
    QStringList rows;
    for (const SkippedLine& line : sites.GetSkipped()) {
        if (rows.size() == shown) {
            rows << QStringLiteral("... and %1 more").arg(sites.GetSkippedCount() - shown);
            break;
        }
        rows << QStringLiteral("Line %1: %2")
                    .arg(line.line)
                    .arg(QString::fromStdString(line.reason));
    }
    return rows.join(u'\n');
}

} // namespace

TSiteDatabasePage::TSiteDatabasePage(TPageHost& pageHost)
    : TPage(pageHost, "SiteDatabase", QStringLiteral("Site Database")) {
    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    LoadSitesButton = Named(new QPushButton(QStringLiteral("Load"), this), "LoadSitesButton");
    LoadSitesButton->setToolTip(QStringLiteral("Load a site database file"));
    NumSitesLabel = Label("NumSitesLabel", QStringLiteral("0 Sites"), this);
    SiteList = Named(new QTreeWidget(this), "SiteList");
    SiteList->setColumnCount(4);
    SiteList->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Locator"),
                               QStringLiteral("Height"), QStringLiteral("Frequency")});
    SiteList->setRootIsDecorated(false);
    SiteList->setUniformRowHeights(true);
    SiteList->setSelectionMode(QAbstractItemView::SingleSelection);
    SiteList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    SiteList->setMinimumWidth(380);
    auto* top = new QHBoxLayout;
    top->addWidget(LoadSitesButton);
    top->addWidget(NumSitesLabel, 1);
    left->addLayout(top);
    left->addWidget(SiteList, 1);
    columns->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    SiteInfo = Named(new QPlainTextEdit(this), "SiteInfo");
    SiteInfo->setReadOnly(true);
    SiteInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    SiteInfo->setFont(QFont(QStringLiteral("DejaVu Sans Mono")));
    SiteInfo->setMinimumSize(300, 150);
    SiteInfo->setMaximumHeight(200);
    CopyTx = Named(new QPushButton(QStringLiteral("Copy site to Tx"), this), "CopyTx");
    CopyRx = Named(new QPushButton(QStringLiteral("Copy site to Rx"), this), "CopyRx");
    CopyTx->setToolTip(QStringLiteral("Use the selected site as the transmitter and calculate"));
    CopyRx->setToolTip(QStringLiteral("Use the selected site as the receiver and calculate"));
    right->addWidget(SiteInfo);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CopyTx);
    buttons->addWidget(CopyRx);
    buttons->addStretch(1);
    right->addLayout(buttons);
    right->addStretch(1);
    columns->addLayout(right, 2);

    connect(LoadSitesButton, &QPushButton::clicked, this, &TSiteDatabasePage::LoadSitesButtonClick);
    connect(SiteList, &QTreeWidget::currentItemChanged, this, &TSiteDatabasePage::SiteListClick);
    connect(CopyTx, &QPushButton::clicked, this, &TSiteDatabasePage::CopyTxClick);
    connect(CopyRx, &QPushButton::clicked, this, &TSiteDatabasePage::CopyRxClick);
}

TSiteDatabasePage::~TSiteDatabasePage() = default;

void TSiteDatabasePage::LoadSitesButtonClick() {
    const QString fileName = ChooseOpenFile(
        host, this, QStringLiteral("Please select site database file"),
        QString::fromStdString(host.State().startDirectory), QStringLiteral("Site list (*.dat)"));
    if (fileName.isEmpty()) return; // cancelled: the database loaded before stays
    Clear();
    try {
        sites = std::make_unique<CSites>(QFile::encodeName(fileName).toStdString());
    } catch (const std::bad_alloc&) {
        host.Notify(QStringLiteral("Bad memory allocation"), true);
        return;
    }
    if (!sites->WasRead()) {
        host.Notify(QString::fromStdString(sites->GetError()), true);
        return;
    }
    ShowDatabase();
}

void TSiteDatabasePage::Clear() {
    sites.reset();
    SiteList->clear();
    SiteInfo->clear();
    NumSitesLabel->setText(QStringLiteral("0 Sites"));
    NumSitesLabel->setToolTip({});
}

void TSiteDatabasePage::ShowDatabase() {
    NumSitesLabel->setText(
        QString::fromStdString(SiteCountText(sites->GetCount(), sites->GetSkippedCount())));
    NumSitesLabel->setToolTip(SkippedLinesText(*sites));
    QList<QTreeWidgetItem*> items;
    items.reserve(sites->GetCount());
    for (int i = 0; i < sites->GetCount(); ++i) {
        const SiteListRow row = SiteListColumns(sites->GetSite(i));
        items << new QTreeWidgetItem(
            QStringList{QString::fromStdString(row.name), QString::fromStdString(row.locator),
                        QString::fromStdString(row.height), QString::fromStdString(row.frequency)});
    }
    SiteList->addTopLevelItems(items);
    SiteList->resizeColumnToContents(1);
    SiteList->resizeColumnToContents(3);
}

const CSite* TSiteDatabasePage::SelectedSite() const {
    if (!sites || !sites->IsLoaded()) return nullptr;
    QTreeWidgetItem* item = SiteList->currentItem();
    const int index = item ? SiteList->indexOfTopLevelItem(item) : -1;
    if (index < 0 || index >= sites->GetCount()) return nullptr;
    return &sites->GetSite(index);
}

void TSiteDatabasePage::SiteListClick() {
    const CSite* site = SelectedSite();
    if (!site) return;
    LinkState& state = host.State();
    const std::vector<std::string> lines = state.terrainStore
                                               ? SiteInfoLines(*site, *state.terrainStore)
                                               : SiteInfoLines(*site, -32767);
    QStringList text;
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    SiteInfo->setPlainText(text.join(u'\n'));
}

void TSiteDatabasePage::CopyTxClick() {
    CopySelected(true);
}

void TSiteDatabasePage::CopyRxClick() {
    if (!SelectedSite()) return;
    host.Link().SetInputMode(true); // the receiver by its own location, not range and bearing
    CopySelected(false);
}

void TSiteDatabasePage::CopySelected(bool transmitter) {
    const CSite* site = SelectedSite();
    if (!site) return;
    const InputLimit& heightLimit = transmitter ? limits::txHeight : limits::rxHeight;
    QStringList notes;
    // A format that cannot hold the site (an OSGB grid reference outside
    // Great Britain) gives way to decimal degrees before anything changes:
    // a location field never shows "Invalid".
    TLinkController& link = host.Link();
    int format = link.Setup().Format();
    SiteCopy copy = CopySite(*site, format, heightLimit, limits::frequency);
    if (!CLocator(copy.location, format).IsValid()) {
        const QString name = QString::fromStdString(site->GetName());
        notes << QStringLiteral("Location format changed to decimal degrees: %1 cannot hold %2")
                     .arg(FormatName(format), name);
        format = FormatDegrees;
        copy = CopySite(*site, format, heightLimit, limits::frequency);
        if (!CLocator(copy.location, format).IsValid()) {
            host.Notify(QStringLiteral("%1 has no valid location: nothing was copied.").arg(name),
                        true);
            return;
        }
        link.SetLocatorFormat(format);
    }
    link.SetText(transmitter, copy.location);
    if (copy.antennaHeight)
        link.SetNumber(transmitter ? &LinkSetup::txHeight : &LinkSetup::rxHeight,
                       *copy.antennaHeight);
    if (copy.frequency) {
        const QString shown = FieldText(link.Setup().frequency, limits::frequency);
        const QString frequency = FieldText(*copy.frequency, limits::frequency);
        if (shown != frequency)
            notes << QStringLiteral("Frequency changed from %1 GHz to %2 GHz, the site's")
                         .arg(shown, frequency);
        link.SetNumber(&LinkSetup::frequency, *copy.frequency);
    }
    link.Calculate();
    if (!notes.isEmpty()) host.Status(notes.join(QStringLiteral("; ")));
}

} // namespace kestrova
