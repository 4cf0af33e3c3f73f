// How long the window stops answering while the site evaluation page
// computes a radial. The real window starts over real SRTM3 terrain
// (KESTROVA_DATA/srtm3/n51w002.hgt) in a scratch directory; each iteration
// clicks the bearing arrow on the page, so that both charts are computed
// again for a radial of range_km, and runs the window's event loop until
// they are drawn. A 1 ms timer on the window's thread records the longest
// gap between two of its ticks: "worst_stall_ms" is that gap (the longest
// time the window could not answer the user, over all iterations), the
// iteration's time the wait from the click to the drawn charts.
// Budget: the worst stall stays under 100 ms at every range.
#include "app/MainForm.h"
#include "app/pages/EvaluationPage.h"
#include "controls/NumEdit.h"
#include "controls/UserDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using namespace kestrova;

QString TileDirectory() {
    const char* data = std::getenv("KESTROVA_DATA");
    return QDir(QString::fromLocal8Bit(data ? data : "../shared/data"))
        .absoluteFilePath(QStringLiteral("srtm3"));
}

// Answers the terrain directory question with the tile directory; shows
// nothing.
class QuietDialogs final : public UserDialogs {
public:
    void Message(QWidget*, Kind, const QString&) override {}
    bool Question(QWidget*, const QString&) override { return false; }
    QString ExistingDirectory(QWidget*, const QString&, const QString&) override {
        return TileDirectory();
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
};

// Runs the event loop until done() holds; the longest gap between the
// ticks of a 1 ms timer meanwhile, in ms.
template <typename Done> double LongestGapWhile(Done done) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QEventLoop loop;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (done()) loop.quit();
    });
    ticks.start();
    loop.exec();
    return longest / 1e6;
}

void BM_EvaluationStall(benchmark::State& state) {
    if (!QFile::exists(TileDirectory() + QStringLiteral("/n51w002.hgt"))) {
        state.SkipWithError("tile n51w002.hgt not found: set KESTROVA_DATA");
        return;
    }
    QTemporaryDir scratch;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(scratch.path());
    QuietDialogs dialogs;
    UserDialogs::Install(&dialogs);
    {
        auto form = std::make_unique<TMainForm>();
        form->show();
        while (!form->State().initialised)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        form->RESETClick();
        auto* page = form->findChild<TEvaluationPage*>(QStringLiteral("Evaluation"));
        auto* up = form->findChild<QToolButton*>(QStringLiteral("BearingControlUp"));
        form->ShowPage(page);
        form->findChild<TNumEdit*>(QStringLiteral("EvalRange"))
            ->setText(QString::number(state.range(0)));
        LongestGapWhile([&] { return !page->Busy(); });

        double worst = 0.0;
        for (auto _ : state) {
            const int shown = page->Evaluations();
            QElapsedTimer clock;
            clock.start();
            up->click();
            worst = std::max(worst, LongestGapWhile([&] { return page->Evaluations() > shown; }));
            state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        }
        state.counters["worst_stall_ms"] = worst;
    }
    UserDialogs::Install(nullptr);
    QDir::setCurrent(previous);
}
BENCHMARK(BM_EvaluationStall)
    ->ArgName("range_km")
    ->Arg(10)
    ->Arg(300)
    ->Arg(3000)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
