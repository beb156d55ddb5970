// A fingerprint of the Skin results: every result double of the benchmark
// meshes (cube cloud, shell, sphere mesh) under cages of 96 and 1014 quads,
// for every falloff, Limited Range off and on, and Rest Shape at Frame 0
// off and on, hashed per setting. A change meant to leave every result bit
// as it was must print the same lines before and after; a bit that moves
// shows which setting moved it.
//
// With `volume` after the point count the same runs are made in Volume
// mode.
//
// Usage: skin_hash [points] [volume]   (MORVANE_BENCH_MODULE names another build)
#include "bench/bench_shapes.h"
#include "bench/module_scene.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// FNV-1a over the bytes of the doubles.
struct Hash {
    std::uint64_t h = 1469598103934665603ull;
    void add(double v) {
        unsigned char b[sizeof v];
        std::memcpy(b, &v, sizeof v);
        for (unsigned char c : b)
            h = (h ^ c) * 1099511628211ull;
    }
};

const char* const kPlacement[] = {"cloud", "shell", "mesh"};

} // namespace

int main(int argc, char** argv) {
    const int points = argc > 1 ? std::atoi(argv[1]) : 4000;
    const bool volume = argc > 2 && std::strcmp(argv[2], "volume") == 0;
    if (points <= 0 || (argc > 2 && !volume) || argc > 3) {
        std::fprintf(stderr, "usage: skin_hash [points] [volume] (points positive)\n");
        return 1;
    }
    setenv("MORVANE_BIND_CACHE", "off", 1);
    setenv("MORVANE_THREADS", "1", 1);
    Hash all;
    for (int n : {4, 13})
        for (int where = 0; where < 3; ++where) {
            auto mesh = std::make_shared<const host::Mesh>(
                where == 2 ? bench::sphereMesh(points) : bench::pointCloud(points, where == 1));
            bench::ModuleScene s(MORVANE_MODULE_PATH, bench::sphereCage(n), mesh);
            bench::bendCage(s.cage);
            s.setMode(volume ? kCageModeVolume : kCageModeSkin);
            for (int frame0 = 0; frame0 < 2; ++frame0)
                for (int limited = 0; limited < 2; ++limited)
                    for (int falloff = 0; falloff <= 6; ++falloff) {
                        CageInstance* cage = s.cage;
                        if (cage->restShapeAtFrame0 != frame0) cage->rebuildNeeded = 1;
                        cage->restShapeAtFrame0 = frame0;
                        cage->falloffType = falloff;
                        cage->limitedRange = limited;
                        cage->perpendicularDistance = 0.06;
                        cage->parallelDistance = 0.04;
                        s.newFrame();
                        Hash one;
                        int moved = 0;
                        for (std::size_t i = 0; i < mesh->points.size(); ++i) {
                            double r[3];
                            s.evaluate(i, r);
                            const host::Point& p = mesh->points[i];
                            moved += r[0] != p.x || r[1] != p.y || r[2] != p.z;
                            for (double v : r) {
                                one.add(v);
                                all.add(v);
                            }
                        }
                        std::printf("%2d quads/side %-5s frame0 %d limited %d falloff %d: "
                                    "%016llx (%d moved)\n",
                                    n, kPlacement[where], frame0, limited, falloff,
                                    (unsigned long long)one.h, moved);
                    }
        }
    std::printf("all: %016llx\n", (unsigned long long)all.h);
    return 0;
}
