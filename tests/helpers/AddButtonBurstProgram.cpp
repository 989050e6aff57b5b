// add_button_burst.exe: the load check by hand.  With Lintel running, makes a
// toolbar through the wizard's hand-over and sends it a burst of button
// hand-overs, printing what came of them.
//
//   add_button_burst [count]     (1,000 by default)
#include "driver/AddButtonBurst.h"
#include "driver/Driver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: add_button_burst [count]\n");
        return 2;
    }
    HWND main = driver::WaitForWindow("LintelMainWindow", "Lintel", 30000);
    if (!main) {
        std::fprintf(stderr, "add_button_burst: Lintel is not running\n");
        return 1;
    }
    const DWORD processId = driver::WindowProcess(main);
    const std::string folder = driver::MakeTempFolder("add-button-burst");
    const std::string name = "Burst " + std::to_string(GetCurrentProcessId());
    HWND toolbar = driver::CreateToolbarByHandOver(main, processId, name, folder);
    if (!toolbar) {
        std::fprintf(stderr, "add_button_burst: the toolbar was not made\n");
        return 1;
    }
    const driver::BurstFigures figures = driver::RunAddButtonBurst(main, processId, toolbar, name, folder, count);
    std::printf("%s\n", driver::BurstReport(figures).c_str());
    const int expectedAdded = count < 256 ? count : 256;
    const bool sound = figures.added == expectedAdded && figures.unanswered == 0 && figures.atomsLeft == 0
                       && figures.probesUnanswered == 0 && figures.fullBoxes == (count > 256 ? 1 : 0)
                       && figures.addFailedBoxes == (count > 256 ? 1 : 0) && figures.otherBoxes == 0;
    std::printf("%s\n", sound ? "sound" : "NOT SOUND");
    return sound ? 0 : 1;
}
