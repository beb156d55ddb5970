// The render and demo verbs: a scene played frame by frame with every
// deformed object written as OBJ.
#ifndef MORVANE_APP_RENDER_H
#define MORVANE_APP_RENDER_H

#include <string>
#include <vector>

namespace app {

struct RenderOptions {
    std::string scene;
    std::string outDir;
    std::string modulePath;
    bool haveFrames = false; // else the scene's own frame range
    int first = 0, last = 0;
    bool pictures = false;     // DIR/view_FFFF.png: the viewport window per frame
    bool contactSheet = false; // DIR/contact.png: 12 frames in a grid
};

// Parses "A-B" (or a single frame "A"); frames may be negative ("-5--2").
// False, with why set, for anything else or when B < A.
bool parseFrameRange(const std::string& text, int& first, int& last, std::string& why);

// Writes DIR/NAME_FFFF.obj per deformed object and frame (and the pictures
// asked for), then DIR/scene.lws, and prints the summary line on stdout.
// Throws host::HostError.
void render(const RenderOptions& options);

// Where the bundled example scene is, or "" when it cannot be found.
std::string exampleScenePath();

} // namespace app

#endif
