#include "app/About.h"

#include "Version.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrova {

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About"));
    setModal(false);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("<b>Kestrova</b>"), this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    for (const char* text :
         {"Radio path loss estimation after ITU-R P.452",
          "over SRTM terrain with ITU-R P.676 gaseous absorption", "Version " KESTROVA_VERSION}) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    layout->addWidget(close, 0, Qt::AlignCenter);
    connect(close, &QPushButton::clicked, this, &TAbout::CloseClick);
}

void TAbout::CloseClick() {
    hide();
}

} // namespace kestrova
