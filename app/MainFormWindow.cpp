// The window's place on the screen and its help: the first window fits the
// screen's available area, its size, position and current page are kept
// in the settings file when it closes, and F1 opens the current page's
// help topic.
#include "app/IniFile.h"
#include "app/MainForm.h"
#include "app/pages/CoveragePage.h"
#include "app/pages/Page.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QScrollArea>
#include <QStringList>
#include <QTabWidget>

#include <algorithm>
#include <array>
#include <iostream>
#include <utility>

namespace kestrova {
namespace {

// The size the window asks for on a screen large enough to hold it.
constexpr QSize preferredWindowSize(1180, 800);
// Room for what the window manager adds around the window: the title bar
// and the borders (the frame is known only once the window is shown).
constexpr QMargins frameAllowance(8, 32, 8, 8);

constexpr const char* windowSection = "Window";
constexpr const char* geometryKey = "Geometry";

// The help topic (the name of its page, without ".html") of each page,
// found by the page's object name.
constexpr std::array<std::pair<const char*, const char*>, 9> pageTopics{{
    {"InputData", "InputData"},
    {"TabulatedData", "TabulatedData"},
    {"TabSheet1", "Refractivity"},
    {"map", "TerrainMap"},
    {"TabSheet2", "ZoneMap"},
    {"Mechanisms", "Mechanisms"},
    {"Coverage", "Coverage"},
    {"Evaluation", "Evaluation"},
    {"SiteDatabase", "SiteDatabase"},
}};

QString SettingsPath() {
    return QDir::current().filePath(QStringLiteral("profile.ini"));
}

QRect AvailableArea(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), preferredWindowSize);
}

// The window's rectangle (without its frame) moved, and shrunk where it
// must be, so that it lies in the area with room for its frame.
QRect Within(QRect rect, const QRect& area) {
    const QRect room = area.marginsRemoved(frameAllowance);
    rect.setSize(rect.size().boundedTo(room.size()));
    rect.moveLeft(std::clamp(rect.left(), room.left(), room.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), room.top(), room.bottom() - rect.height() + 1));
    return rect;
}

} // namespace

QString PageHelpTopic(const QString& pageName) {
    for (const auto& [name, topic] : pageTopics)
        if (pageName == QLatin1String(name)) return QString::fromLatin1(topic);
    return {};
}

QStringList PageHelpTopics() {
    QStringList topics;
    for (const auto& entry : pageTopics)
        topics << QString::fromLatin1(entry.second);
    return topics;
}

TPage* TMainForm::CurrentPage() const {
    auto* scroll = qobject_cast<QScrollArea*>(PageControl1->currentWidget());
    return scroll ? qobject_cast<TPage*>(scroll->widget()) : nullptr;
}

void TMainForm::CurrentPageHelp() {
    const TPage* page = CurrentPage();
    HelpTopic(page ? PageHelpTopic(page->objectName()) : QString());
}

// The first window: the size and position kept at the last close, else the
// preferred size, either way inside the screen's available area. Read here
// from the working directory's settings file, which start-up reads later.
void TMainForm::PlaceWindow() {
    const QRect area = AvailableArea(*this);
    const QStringList kept =
        QString::fromStdString(
            IniFile(SettingsPath().toStdString()).GetString("Window:Geometry", ""))
            .split(u',');
    QRect wanted(QPoint(0, 0), preferredWindowSize);
    wanted.moveCenter(area.marginsRemoved(frameAllowance).center());
    if (kept.size() == 5) {
        std::array<int, 5> values{};
        bool ok = true;
        for (std::size_t i = 0; i < values.size() && ok; ++i)
            values[i] = kept[static_cast<qsizetype>(i)].trimmed().toInt(&ok);
        if (ok && values[2] > 0 && values[3] > 0) {
            wanted = QRect(values[0], values[1], values[2], values[3]);
            keptPage = values[4];
        }
    }
    setGeometry(Within(wanted, area));
}

// The page kept at the last close, once start-up has run.
void TMainForm::RestorePage() {
    if (keptPage > 0 && keptPage < PageControl1->count()) PageControl1->setCurrentIndex(keptPage);
    keptPage = -1;
}

// "x, y, width, height, page" in the settings file, and the coverage
// page's settings; only those lines change.
void TMainForm::RememberWindowPlace() {
    if (state.startDirectory.empty()) return; // start-up never ran
    const QRect place = geometry();
    const QString value = QStringLiteral("%1, %2, %3, %4, %5")
                              .arg(place.x())
                              .arg(place.y())
                              .arg(place.width())
                              .arg(place.height())
                              .arg(PageControl1->currentIndex());
    const std::string path = state.startDirectory + "profile.ini";
    const WriteOutcome outcome =
        StoreSettingsValue(path, windowSection, geometryKey, value.toStdString());
    if (!outcome) {
        std::cerr << "kestrova: " << outcome.message << "\n";
        return;
    }
    // The coverage page's settings too, each key on its own line.
    for (const auto& [key, text] : coveragePage->SettingsValues())
        if (const WriteOutcome kept = StoreSettingsValue(path, "Coverage", key, text); !kept) {
            std::cerr << "kestrova: " << kept.message << "\n";
            return;
        }
}

} // namespace kestrova
