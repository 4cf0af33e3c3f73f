#include "app/HelpBrowser.h"

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
    QString page = QStringLiteral("qrc:/help/%1.html").arg(keyword.toLower());
    if (keyword.isEmpty() || !QFile::exists(page.mid(3)))
        page = QStringLiteral("qrc:/help/index.html");
    browser->setSource(QUrl(page));
}

QString THelpBrowser::CurrentTitle() const {
    return browser->documentTitle();
}

} // namespace kestrova
