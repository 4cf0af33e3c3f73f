#include "app/HelpBrowser.h"

#include "geo/FileLocations.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The help pages live in the app library, which the program links
// statically: their resource must be registered by name.
static void RegisterHelpPages() {
    Q_INIT_RESOURCE(help);
}

namespace kestrova {

THelpBrowser::THelpBrowser(QWidget* parent) : QDialog(parent) {
    RegisterHelpPages();
    setObjectName(QStringLiteral("HelpBrowser"));
    setWindowTitle(QStringLiteral("Kestrova Help"));
    setModal(false);
    resize(640, 560);
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* contents = new QPushButton(QStringLiteral("Contents"), this);
    auto* back = new QPushButton(QStringLiteral("Back"), this);
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("HelpText"));
    browser->setOpenExternalLinks(true);
    layout->addWidget(browser, 1);
    connect(contents, &QPushButton::clicked, this, [this] { ShowTopic(QString()); });
    connect(back, &QPushButton::clicked, browser, &QTextBrowser::backward);
    connect(browser, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(QStringLiteral("Kestrova Help - ") + CurrentTitle()); });
}

void THelpBrowser::ShowTopic(const QString& keyword) {
    // The installed pages (share/kestrova/help/) when there are any, else
    // the copies compiled into the program.
    const std::string installed = FindProgramDataFile("help/index.html");
    const QString folder = installed.empty()
                               ? QStringLiteral(":/help/")
                               : QString::fromStdString(installed).chopped(10); // "index.html"
    QString page = folder + keyword.toLower() + QStringLiteral(".html");
    if (keyword.isEmpty() || !QFile::exists(page)) page = folder + QStringLiteral("index.html");
    browser->setSource(installed.empty() ? QUrl(QStringLiteral("qrc") + page)
                                         : QUrl::fromLocalFile(page));
}

QString THelpBrowser::CurrentTitle() const {
    return browser->documentTitle();
}

} // namespace kestrova
