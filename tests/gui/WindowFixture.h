// The main window for the window tests: made offscreen in a temporary
// working directory, started over the real terrain tile n51w002.hgt (from
// KESTROVA_DATA, else the demo tile; the directory chooser answers with its
// directory), with every message and file dialog recorded. Controls and
// pages are found by their names.
#pragma once

#include "RecordingDialogs.h"
#include "app/MainForm.h"
#include "propagation/engine/Terrain.h"

#include <QAreaSeries>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

#include <memory>

namespace kestrova::test {

inline QString DataDirectory() {
    return qEnvironmentVariable("KESTROVA_DATA",
                                QStringLiteral(KESTROVA_SOURCE_DIR "/../shared/data"));
}

// The folder of the tile n51w002.hgt (no trailing '/'): the data
// directory's srtm3, else the demo tile the build unpacks; "" when neither
// has it.
inline QString TileDirectory() {
    for (QString folder :
         {DataDirectory() + QStringLiteral("/srtm3"), QStringLiteral(KESTROVA_DEMO_TILES)}) {
        if (folder.endsWith(u'/')) folder.chop(1);
        if (QFile::exists(folder + QStringLiteral("/n51w002.hgt"))) return folder;
    }
    return {};
}

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

inline QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

class WindowFixture {
public:
    // False (and nothing made) when the real tile is missing.
    bool Init() {
        tileDirectory = TileDirectory();
        if (tileDirectory.isEmpty()) return false;
        previousDirectory = QDir::currentPath();
        workDirectory = std::make_unique<QTemporaryDir>();
        if (!workDirectory->isValid() || !QDir::setCurrent(workDirectory->path())) return false;
        dialogs = std::make_unique<RecordingDialogs>();
        dialogs->directoryAnswer = tileDirectory;
        return true;
    }
    QString SkipMessage() const {
        return QStringLiteral("terrain tile n51w002.hgt found neither in %1/srtm3 nor in %2")
            .arg(DataDirectory(), QStringLiteral(KESTROVA_DEMO_TILES));
    }

    // What the status line says of the tile directory: "Terrain: 4 tiles in "
    // for the full data set, "Terrain: 1 tile in " for the demo tile alone.
    QString TilesStatus() const {
        const qsizetype n =
            QDir(tileDirectory).entryList({QStringLiteral("*.hgt")}, QDir::Files).size();
        return QStringLiteral("Terrain: %1 tile%2 in ").arg(n).arg(n == 1 ? "" : "s");
    }

    void Cleanup() {
        form.reset();
        dialogs.reset();
        if (!previousDirectory.isEmpty()) QDir::setCurrent(previousDirectory);
        workDirectory.reset();
    }

    // Shows a new window over the real tiles: its settings file (the given
    // one, else one that names the tile directory, as a user's does once a
    // directory has been chosen); waits for its start-up to finish.
    bool StartForm(const QByteArray& settings = {}) {
        return StartFormWith(settings.isEmpty() ? QByteArray("[FilePaths]\nMapDirectory = ") +
                                                      tileDirectory.toUtf8() + "/; \n"
                                                : settings);
    }
    // A new user's first start: no settings file at all (the demo tile).
    bool StartFirstTime() { return StartFormWith({}); }
    bool StartFormWith(const QByteArray& settings) {
        if (!settings.isEmpty()) {
            QFile file(QStringLiteral("profile.ini"));
            if (!file.open(QIODevice::WriteOnly)) return false;
            file.write(settings);
        }
        form = std::make_unique<TMainForm>();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) return false;
        return QTest::qWaitFor([&] { return form->State().initialised; }, 10000);
    }

    template <typename T> T* Find(const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QString Text(const char* name) { return Find<QLabel>(name)->text(); }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
    void Click(const char* name) { Find<QPushButton>(name)->click(); }
    // Makes the named page current, which runs its "show" handler.
    void ShowPage(const char* name) { form->ShowPage(Find<QWidget>(name)); }
    const CTerrain& Engine() { return *form->State().engine; }

    QLineSeries* Series(const char* chart, const char* name) {
        QAbstractSeries* series = Find<QChartView>(chart)->chart()->findChild<QAbstractSeries*>(
            QString::fromLatin1(name));
        if (auto* area = qobject_cast<QAreaSeries*>(series)) return area->upperSeries();
        return qobject_cast<QLineSeries*>(series);
    }
    QValueAxis* LeftAxis(const char* chart) {
        const auto axes = Find<QChartView>(chart)->chart()->axes(Qt::Vertical);
        return qobject_cast<QValueAxis*>(axes.first());
    }

    QString tileDirectory;
    QString previousDirectory;
    std::unique_ptr<QTemporaryDir> workDirectory;
    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<TMainForm> form;
};

} // namespace kestrova::test
