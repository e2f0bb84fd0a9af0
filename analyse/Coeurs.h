#pragma once
// How many threads the reachability search runs on.

namespace AnalyseCarte
{
    // Threads for a search on a machine of `coeurs` cores where `executables`
    // threads are running or waiting for a core right now, the caller
    // included (a negative count: unknown). Two when a core is free for the
    // second thread, otherwise one: on a crowded machine the second thread
    // takes the first one's share of the processor and the search ends later.
    int FilsSelonCharge(unsigned coeurs, int executables);

    // The threads to use: `demandes` when it is 1 or 2 (more count as 2);
    // 0 asks the machine (FilsSelonCharge with the number of threads the
    // kernel reports running: the least of a few counts within a millisecond).
    int FilsVoulus(int demandes);
}
