#include <gtest/gtest.h>

#include "common/work_area_fit.h"

TEST(WorkAreaFit, InsideWhereItFitsAndTopLeftWhereItDoesNot)
{
    const FitRect screen = {0, 0, 1024, 728};        // taskbar of 40 px at the bottom
    const FitRect leftMonitor = {-1280, 30, -80, 1024};  // left of the primary, bar on top and right
    const struct {
        const char* what;
        FitRect work;
        FitPoint wanted;
        int width, height;
        FitPoint expected;
    } cases[] = {
        {"inside stays", screen, {0, 0}, 500, 400, {0, 0}},
        {"exactly the work area", screen, {0, 0}, 1024, 728, {0, 0}},
        {"past the bottom: up", screen, {100, 400}, 500, 400, {100, 328}},
        {"past the right: left", screen, {700, 10}, 500, 400, {524, 10}},
        {"off the top left: in", screen, {-30, -5}, 500, 400, {0, 0}},
        {"too high: top aligned, x kept", screen, {100, 50}, 500, 900, {100, 0}},
        {"too wide: left aligned, y kept", screen, {-40, 100}, 1100, 400, {0, 100}},
        {"larger both ways", screen, {-300, -200}, 1536, 1580, {0, 0}},
        {"other monitor, past its right", leftMonitor, {-400, 100}, 500, 400, {-580, 100}},
        {"other monitor, under its bar", leftMonitor, {-1000, 0}, 500, 400, {-1000, 30}},
        {"other monitor, too large", leftMonitor, {-1100, 500}, 1300, 1200, {-1280, 30}},
    };
    for (const auto& c : cases) {
        FitPoint got = MISC_FitToWorkArea(c.wanted, c.width, c.height, c.work);
        EXPECT_EQ(got.x, c.expected.x) << c.what;
        EXPECT_EQ(got.y, c.expected.y) << c.what;
    }
}
