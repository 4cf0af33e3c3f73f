// The site evaluation's worker thread (see EvaluationPageWorker.h).
#include "app/pages/EvaluationPageWorker.h"

#include "propagation/Refractivity.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <new>
#include <system_error>
#include <utility>

namespace kestrova {

struct TRadialWorker::Tools {
    std::string tileDirectory;
    std::string zoneFile;
    std::unique_ptr<CSRTM> store;
    std::unique_ptr<CZONES> zones;
    std::unique_ptr<CTerrain> engine;
    std::unique_ptr<CRefractivity> maps;

    void MakeFor(const Job& job) {
        if (!store || tileDirectory != job.tileDirectory) {
            store.reset();
            store = std::make_unique<CSRTM>(CSRTM::kTilesPerStore, job.tileDirectory);
            tileDirectory = job.tileDirectory;
        }
        if (!zones || zoneFile != job.zoneFile) {
            zones.reset();
            zones = std::make_unique<CZONES>(std::string(), job.zoneFile);
            zoneFile = job.zoneFile;
        }
        if (!engine) engine = std::make_unique<CTerrain>();
        if (!maps) maps = std::make_unique<CRefractivity>();
    }
};

TRadialWorker::TRadialWorker() : tools(std::make_unique<Tools>()) {}

TRadialWorker::~TRadialWorker() {
    Wait();
}

void TRadialWorker::Wait() {
    if (thread.joinable()) thread.join();
}

bool TRadialWorker::Start(Job job, Done done) {
    if (running) return false;
    Wait(); // the last radial's thread has ended, or is about to
    running = true;
    try {
        thread = std::thread([this, job = std::move(job), done = std::move(done)] {
            std::shared_ptr<const Outcome> outcome = Run(job);
            {
                const std::lock_guard<std::mutex> lock(outcomeLock);
                finished = std::move(outcome);
            }
            running = false;
            done();
        });
    } catch (const std::system_error&) { // no thread to be had
        running = false;
        return false;
    }
    return true;
}

std::optional<std::shared_ptr<const TRadialWorker::Outcome>> TRadialWorker::TakeOutcome() {
    const std::lock_guard<std::mutex> lock(outcomeLock);
    return std::exchange(finished, std::nullopt);
}

// Null when not even the outcome could be allocated.
std::shared_ptr<const TRadialWorker::Outcome> TRadialWorker::Run(const Job& job) {
    try {
        auto outcome = std::make_shared<Outcome>();
        try {
            tools->MakeFor(job);
            RadialRequest request = job.request;
            request.maps = tools->maps.get();
            outcome->evaluation =
                EvaluateRadial(request, *tools->store, *tools->zones, *tools->engine);
        } catch (const std::bad_alloc&) {
            *tools = Tools(); // made again, whole, for the next radial
            outcome->outOfMemory = true;
        }
        return outcome;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace kestrova
