// TRadialWorker: the site evaluation's radials computed off the window's
// thread, one at a time. A 3000 km radial takes the best part of a second;
// on the window's thread it would freeze the window for as long.
//
// Each radial runs on a terrain store, zone map, engine and set of radio-
// meteorological maps of the worker's own: the window's terrain store is
// not safe to share between threads, and a reset or the window's closing
// replaces or frees the window's objects while a radial may still run. The
// worker keeps its tools from one radial to the next (tiles once read stay
// in its store's cache) and makes them again when the tile directory or
// the zone file changes.
#pragma once

#include "evaluation/Radial.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kestrova {

class TRadialWorker {
public:
    struct Job {
        RadialRequest request;     // its maps are replaced by the worker's own
        std::string tileDirectory; // with a trailing separator
        std::string zoneFile;      // the zone map's file ("" none)
    };
    struct Outcome {
        RadialEvaluation evaluation;
        bool outOfMemory = false; // the worker's tools could not be made
    };
    // Called on the worker's thread once the radial is done and its outcome
    // can be taken.
    using Done = std::function<void()>;

    TRadialWorker();
    ~TRadialWorker(); // waits for the radial in hand
    TRadialWorker(const TRadialWorker&) = delete;
    TRadialWorker& operator=(const TRadialWorker&) = delete;

    // Starts the job on a thread of its own; false (and nothing started)
    // while another radial runs or when no thread can be started.
    bool Start(Job job, Done done);
    bool Running() const { return running; }
    // The outcome of the radial last done, once (null inside when memory
    // ran out before there was one); nullopt when none is waiting. The
    // outcome passes between the threads under a lock of the worker's own.
    std::optional<std::shared_ptr<const Outcome>> TakeOutcome();
    // Waits for the radial in hand, if any.
    void Wait();

private:
    struct Tools;
    std::shared_ptr<const Outcome> Run(const Job& job);

    std::thread thread;
    std::atomic<bool> running{false};
    std::mutex outcomeLock;
    std::optional<std::shared_ptr<const Outcome>> finished; // guarded by outcomeLock
    std::unique_ptr<Tools> tools;                           // used by the worker's thread only
};

} // namespace kestrova
