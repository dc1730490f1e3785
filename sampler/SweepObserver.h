// What a run reports while it samples: the start of the run, every sweep
// and the periodic progress events. The sampler computes and hands these
// over; whoever supplies the observer (run/, through monitor/) decides
// whether they reach the terminal, a trace file or a buffer. Observing
// draws nothing and changes nothing in the run.
#ifndef RUZARAVO_SAMPLER_SWEEPOBSERVER_H
#define RUZARAVO_SAMPLER_SWEEPOBSERVER_H

#include <string>

class SweepObserver {
public:
    virtual ~SweepObserver() = default;

    // The run has read its input: the command-line text (banner line, then
    // every word and a blank) and the number of sequences.
    virtual void Started(const std::string& cmdLine, int seqNum) = 0;
    // True when Swept should receive the sweep's trace row (formatting the
    // row costs time, so it is only made when someone keeps it).
    virtual bool WantsTrace() const = 0;
    // Sweep number done (counted from 1) has been scored and recorded; row
    // is its trace row (line break included), empty unless WantsTrace();
    // milestone is set every 50 finished sweeps, when a person following
    // the run is told how far it got.
    virtual void Swept(int done, const std::string& row, bool milestone) = 0;
    // The last sweep is done; done sweeps in all.
    virtual void Finished(int done) = 0;
};

#endif
