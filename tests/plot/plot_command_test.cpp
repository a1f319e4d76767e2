// SPDX-License-Identifier: MIT
// A recording made by the command line's watch, drawn by the desktop
// application's plot command without a display.
#include "fakes/scratch_directory.h"
#include "fakes/text_files.h"
#include "plot/strip_chart.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

namespace fs = std::filesystem;

int run(const fs::path& directory, const std::string& command) {
    return std::system(("cd '" + directory.string() + "' && " + command + " 2>/dev/null").c_str());
}

TEST(PlotCommand, DrawsARecordingOfWatchAtTheRequestedSize) {
    ScratchDirectory dir;
    ASSERT_EQ(run(dir.path(), std::string(VISTREL_CLI_BINARY) + " watch --cycles 40 --record"), 0);
    fs::path recording;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        recording = entry.path();
    }
    const std::string plot = std::string(VISTREL_BINARY) + " plot '" + recording.string() + "'";
    ASSERT_EQ(run(dir.path(), plot + " -o chart.png --size 640x300 --items 'Engine speed'"), 0);
    const QImage image(QString::fromStdString((dir.path() / "chart.png").string()));
    ASSERT_EQ(image.size(), QSize(640, 300));
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            drawn += image.pixelColor(x, y) == StripChart::colour(0) ? 1 : 0;
        }
    }
    EXPECT_GT(drawn, 100);

    ASSERT_EQ(run(dir.path(), plot + " -o chart.svg"), 0);
    EXPECT_NE(readFile(dir.path() / "chart.svg").find("<svg"), std::string::npos);

    EXPECT_NE(run(dir.path(), plot + " -o chart.png --items 'No such item'"), 0);
    EXPECT_NE(run(dir.path(), plot + " -o chart.png --size 1x1"), 0);
}

} // namespace
} // namespace vistrel::testing
