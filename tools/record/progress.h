// Progress of a long run on standard error: on a terminal a bar redrawn in place, otherwise a line at every
// tenth of the work.
#pragma once

#include <string>

// "[#####     ]  120/4650 frames  2.9 frames/s  25:40 left": `elapsed` seconds for `done` of `total`.
std::string progressBar(long long done, long long total, double elapsed);
// "40% (1860 of 4650 frames), 2.9 frames/s, 15:58 left"
std::string progressLine(long long done, long long total, double elapsed);
// "1:05:02", "25:40"
std::string clockTime(double seconds);

class Progress {
  public:
    Progress(long long total, bool terminal) : total(total), terminal(terminal) {}
    // Reports `done` frames after `elapsed` seconds when there is something new to show.
    void update(long long done, double elapsed);
    // Ends the bar's line.
    void finish();

  private:
    long long total;
    bool terminal;
    int tenthsShown = 0;
    bool barShown = false;
};
