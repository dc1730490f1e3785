// Runs of one invocation in parallel, their output in run order.
//
// Workers take runs in index order. Run 0 writes its progress lines and
// trace as it goes, like a serial run; every later run writes them into
// memory. The calling thread waits for the runs in order and, for each,
// first copies its buffered lines to standard output and its buffered trace
// to the trace file, then hands its record to the writers, so the bytes and
// their order are those of the serial loop. A run that fails on input stops
// the process from its own thread as a serial run would; running out of
// memory in a worker is passed to the calling thread and rethrown there.
#include "run/RunSet.h"

#include "model/GibbsDP.h"
#include "monitor/TraceFile.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Text a run writes into memory, collected through a stdio stream.
class MemoryStream {
public:
    MemoryStream() : m_File(open_memstream(&m_Data, &m_Size)) {}
    ~MemoryStream()
    {
        if (m_File)
            fclose(m_File);
        free(m_Data);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    FILE* File() const { return m_File; }
    // Closes the stream and returns what it holds.
    std::string Take()
    {
        if (m_File) {
            fclose(m_File);
            m_File = nullptr;
        }
        return std::string(m_Data ? m_Data : "", m_Size);
    }
    // Closes the stream and copies what it holds to out.
    void CopyTo(FILE* out)
    {
        if (m_File) {
            fclose(m_File);
            m_File = nullptr;
        }
        if (m_Size > 0)
            fwrite(m_Data, 1, m_Size, out);
    }

private:
    char* m_Data = nullptr;
    size_t m_Size = 0;
    FILE* m_File;
};

struct RunSlot {
    std::unique_ptr<MemoryStream> console;   // null for the run that writes directly
    std::unique_ptr<MemoryStream> trace;     // null without --trace or for that run
    RunResult result;
    std::exception_ptr failure;
    bool done = false;
};

// Appends a buffered trace to the trace file, as the run would have
// (the header only when the file is new or empty).
void AppendTrace(const CString& name, MemoryStream& trace)
{
    std::unique_ptr<TraceFile> file = TraceFile::Open(name.m_Data, TraceHeader());
    if (!file)
        return;   // Open has said why on standard error
    std::string rows = trace.Take();
    if (!rows.empty())
        file->WriteRow(rows);
}

}  // namespace

void RunAllRuns(INPUTPARAMETER* param, RunOutputs& outputs)
{
    const int runs = param->RunNum;
    const int threads = param->Threads;
    if (threads <= 1 || runs <= 1) {
        for (int run = 0; run < runs; run++)
            outputs.Add(RunModSampling(param, run));
        return;
    }
    const int workers = threads < runs ? threads : runs;
    const int inner = threads / workers;
    const bool traced = param->TraceFile.GetLength() > 0;

    // Shared with the workers by ownership: when a run fails, the calling
    // thread leaves with the workers detached, and they must still find
    // their state until the process ends.
    struct SharedState {
        std::vector<RunSlot> slots;
        std::mutex lock;
        std::condition_variable finished;
        int nextRun = 0;
    };
    auto state = std::make_shared<SharedState>();
    state->slots.resize(runs);
    for (int run = 1; run < runs; run++) {
        RunSlot& slot = state->slots[run];
        slot.console = std::make_unique<MemoryStream>();
        if (traced)
            slot.trace = std::make_unique<MemoryStream>();
        if (!slot.console->File() || (traced && !slot.trace->File()))
            throw std::bad_alloc();
    }

    auto work = [state, param, runs, inner] {
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
                result = RunModSampling(param, run, slot.console ? slot.console->File() : nullptr,
                                        slot.trace ? slot.trace->File() : nullptr, inner);
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard<std::mutex> g(state->lock);
            slot.result = std::move(result);
            slot.failure = failure;
            slot.done = true;
            state->finished.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; w++)
        pool.emplace_back(work);

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
        if (slot.console) {
            slot.console->CopyTo(stdout);
            fflush(stdout);
        }
        if (slot.trace)
            AppendTrace(param->TraceFile, *slot.trace);
        outputs.Add(std::move(slot.result));
        slot.result = RunResult();   // the folder writer keeps its own copy
    }
    for (auto& t : pool)
        t.join();
}
