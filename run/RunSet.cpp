// Runs of one invocation in parallel, their output in run order.
//
// Workers take runs in index order. Run 0 writes its progress lines and
// trace as it goes, like a serial run; every later run writes them into
// memory (monitor/RunMonitor.h: console lines as strings, trace rows as
// one string). The calling thread waits for the runs in order and, for
// each, first replays its buffered lines to standard output and its rows to
// the trace file, then hands its record to the sink, so the bytes and their
// order are those of the serial loop. One progress line follows the whole
// job (monitor/ProgressLine.h): every run reports its sweeps to it as they
// happen, and it is cleared before a run's seed line on standard error.
// Every input was read before the
// first run, so no run fails on input; running out of memory in a worker is
// passed to the calling thread and rethrown there.
#include "run/RunSet.h"

#include "monitor/RunMonitor.h"
#include "run/Run.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <new>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct RunSlot {
    std::unique_ptr<RunMonitor> monitor;   // buffered: every run but the first in line
    RunResult result;
    std::exception_ptr failure;
    bool done = false;
};

MonitorSettings Monitoring(const INPUTPARAMETER& param, int run, ProgressLine* progress)
{
    MonitorSettings m;
    m.traceFile = param.TraceFile.m_Data ? param.TraceFile.m_Data : "";
    m.quiet = param.Quiet;
    m.run = run;
    m.runs = param.RunNum;
    m.sweeps = param.IterNum;
    m.progress = progress;
    return m;
}

// The job's progress line, or null with --quiet.
std::shared_ptr<ProgressLine> JobProgress(const INPUTPARAMETER& param, int workers)
{
    const ProgressLine::Mode* mode = ProgressLine::ModeFor(param.Quiet);
    if (!mode || param.RunNum <= 0)
        return nullptr;
    JobShape job;
    job.unit = param.Chains > 0 ? "chain" : "run";
    job.runs = param.RunNum;
    job.sweeps = param.IterNum;
    job.parallel = workers;
    return std::make_shared<ProgressLine>(STDERR_FILENO, *mode, job);
}

// Runs one run with monitor, the progress line cleared for its seed line.
RunResult ObservedRun(const INPUTPARAMETER& param, const RunInputs& inputs, int run, RunMonitor* monitor,
                      ProgressLine* progress, int threads)
{
    if (progress)
        progress->Clear();
    return RunModSampling(param, inputs, run, monitor, threads);
}

// The run written as it goes, to the terminal and the trace file.
RunResult LiveRun(const INPUTPARAMETER& param, const RunInputs& inputs, int run, ProgressLine* progress,
                  int threads)
{
    RunMonitor monitor(Monitoring(param, run, progress), false);
    return ObservedRun(param, inputs, run, &monitor, progress, threads);
}

// Hands the last run's record to the sink after the progress line's end.
void Deliver(const RunSink& sink, RunResult result, ProgressLine* progress, bool last)
{
    if (last && progress)
        progress->Finish();
    sink(std::move(result));
}

// Shared with the workers by ownership: when a run fails, the calling
// thread leaves with the workers detached, and they must still find their
// state until the process ends.
struct SharedState {
    std::vector<RunSlot> slots;
    std::mutex lock;
    std::condition_variable finished;
    int nextRun = 0;
    std::shared_ptr<ProgressLine> progress;   // null: none
};

// A worker: takes the next run in index order until none is left.
void Work(const std::shared_ptr<SharedState>& state, const INPUTPARAMETER& param, const RunInputs& inputs,
          int inner)
{
    const int runs = (int)state->slots.size();
    for (;;) {
        int run;
        {
            std::lock_guard<std::mutex> g(state->lock);
            run = state->nextRun++;
        }
        if (run >= runs)
            return;
        RunSlot& slot = state->slots[run];
        RunResult result;
        std::exception_ptr failure;
        try {
            ProgressLine* progress = state->progress.get();
            result = slot.monitor ? ObservedRun(param, inputs, run, slot.monitor.get(), progress, inner)
                                  : LiveRun(param, inputs, run, progress, inner);
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard<std::mutex> g(state->lock);
        slot.result = std::move(result);
        slot.failure = failure;
        slot.done = true;
        state->finished.notify_all();
    }
}

}  // namespace

void RunAllRuns(const INPUTPARAMETER& param, const RunInputs& inputs, const RunSink& sink)
{
    const int runs = param.RunNum;
    const int threads = param.Threads;
    if (threads <= 1 || runs <= 1) {
        std::shared_ptr<ProgressLine> progress = JobProgress(param, 1);
        for (int run = 0; run < runs; run++)
            Deliver(sink, LiveRun(param, inputs, run, progress.get(), threads), progress.get(), run + 1 == runs);
        return;
    }
    const int workers = threads < runs ? threads : runs;
    const int inner = threads / workers;
    auto state = std::make_shared<SharedState>();
    state->progress = JobProgress(param, workers);
    state->slots.resize(runs);
    for (int run = 1; run < runs; run++)
        state->slots[run].monitor =
            std::make_unique<RunMonitor>(Monitoring(param, run, state->progress.get()), true);
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; w++)
        pool.emplace_back([state, &param, &inputs, inner] { Work(state, param, inputs, inner); });

    for (int run = 0; run < runs; run++) {
        RunSlot& slot = state->slots[run];
        {
            std::unique_lock<std::mutex> g(state->lock);
            state->finished.wait(g, [&] { return slot.done; });
        }
        if (slot.failure) {
            for (auto& t : pool)
                t.detach();
            std::rethrow_exception(slot.failure);   // the process ends there
        }
        if (slot.monitor) {
            slot.monitor->Replay();
            slot.monitor.reset();
        }
        Deliver(sink, std::move(slot.result), state->progress.get(), run + 1 == runs);
        slot.result = RunResult();   // the folder writer keeps its own copy
    }
    for (auto& t : pool)
        t.join();
}
