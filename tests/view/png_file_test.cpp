// Pictures written as PNG files and read back.
#include "host/view/png_stored.h"
#include "host/view/raster.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

namespace fs = std::filesystem;
using host::Raster;

class PngFile : public testing::Test {
  protected:
    PngFile()
        : dir(fs::temp_directory_path() /
              ("morvane_png_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~PngFile() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    static std::string bytesOf(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir;
    std::string error;
};

// Opaque noise, so every channel of every pixel is checked.
Raster noise(int w, int h, unsigned seed) {
    Raster r(w, h);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(0, 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            r.state().colour = host::Rgba{d(rng), d(rng), d(rng), 1};
            r.point({x + 0.5, y + 0.5, 0});
        }
    return r;
}

TEST_F(PngFile, RoundTripKeepsEveryPixelAndTheSamePictureGivesTheSameBytes) {
    Raster picture = noise(37, 23, 3);
    ASSERT_TRUE(host::writePng(path("a.png"), picture, error)) << error;
    ASSERT_TRUE(host::writePng(path("b.png"), noise(37, 23, 3), error)) << error;
    EXPECT_EQ(bytesOf(path("a.png")), bytesOf(path("b.png")));

    Raster back(1, 1);
    ASSERT_TRUE(host::readPng(path("a.png"), back, error)) << error;
    ASSERT_EQ(back.width(), 37);
    ASSERT_EQ(back.height(), 23);
    EXPECT_EQ(back.rgba(), picture.rgba());
}

// Pictures written without libpng (the Windows build's) read back through
// libpng: one pixel, one stored block, and more rows than one block holds.
TEST_F(PngFile, StoredPicturesReadBackThroughLibpng) {
    for (const auto& size : {std::pair<int, int>{1, 1}, {37, 23}, {160, 150}}) {
        Raster picture = noise(size.first, size.second, 11);
        ASSERT_TRUE(host::writeStoredPng(path("stored.png"), picture, error)) << error;
        Raster back(1, 1);
        ASSERT_TRUE(host::readPng(path("stored.png"), back, error)) << error;
        ASSERT_EQ(back.width(), size.first);
        ASSERT_EQ(back.height(), size.second);
        EXPECT_EQ(back.rgba(), picture.rgba()) << size.first << " x " << size.second;
    }
    EXPECT_FALSE(host::writeStoredPng(path("empty.png"), Raster(0, 4), error));
    EXPECT_NE(error.find("empty"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(path("empty.png")));
}

TEST_F(PngFile, FailuresSayWhyAndLeaveThePictureAlone) {
    std::ofstream(path("notes.png")) << "not a picture\n";
    Raster kept = noise(3, 2, 5);
    const auto before = kept.rgba();
    for (const std::string& file : {path("notes.png"), path("missing.png")}) {
        error.clear();
        EXPECT_FALSE(host::readPng(file, kept, error));
        EXPECT_NE(error.find(file), std::string::npos) << error;
        EXPECT_EQ(kept.rgba(), before);
    }
    EXPECT_FALSE(host::writePng(path("no/such/folder/out.png"), kept, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
    EXPECT_FALSE(host::writePng(path("empty.png"), Raster(0, 4), error));
    EXPECT_FALSE(fs::exists(path("empty.png")));
}

} // namespace
