// Scene files: the host's scene saved as LWSC version 5 text and read back.
//
// Written, in this order: the header, the timing keywords, scene-level
// plug-in blocks, then objects, lights and cameras in item order. An object
// is "LoadObjectLayer 1 ID path" (loaded) or "AddNullObject ID name";
// "ShowObject vis 3"; ObjectMotion with nine channel envelopes;
// PivotPosition / PivotRotation when not zero; ParentItem; its plug-in
// blocks; ShadowOptions; one "Keyword 1" line per render flag set
// (UnseenByCamera, UnseenByRays, UnseenByAlphaChannel, UnseenByRadiosity,
// MatteObject, and "AffectedByFog 0" for an object fog leaves alone).
// Lights and cameras: AddLight/AddCamera ID, LightName/CameraName, ShowLight /
// ShowCamera, their motion (cameras six channels, as Layout writes them),
// ParentItem and plug-in blocks. Numbers: IDs %08X, key values the shortest
// %.Ng from N = 8 that reads back exactly.
//
// Reading accepts versions 3 to 5 (version 3 numbers items by file order).
// Object paths go through HostCore::resolvePath, as the LoadObject command does:
// relative ones are taken from the content directory. LoadObjectLayer N
// loads LAYR N-1 of an LWO2 file; an OBJ has only layer 1. References
// (ParentItem) may point forward. Bones are not loaded. What the host does
// not model (bones, lights' and cameras' settings, unknown keywords, comments
// and blocks, plug-in blocks nothing runs) is kept in the items' and the
// scene's fileLines, with markers where the modelled lines were, and the
// writer writes them back in their places. An object file that cannot be
// opened gives a warning and an object without points.
#ifndef MORVANE_HOST_IO_SCENE_FILE_H
#define MORVANE_HOST_IO_SCENE_FILE_H

#include <lwio.h>
#include <lwrender.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace host {

class HostCore;
class Scene;
struct Item;

// One plug-in instance to save: its block is
//   Plugin <className> <index> <server>
//   <what save writes>
//   EndPlugin
// save may throw HostError; a fault it leaves in the LWSaveState (a refused
// string, a block left open) fails the save as well.
struct PluginSaveEntry {
    std::string className;
    int index = 1; // 1-based among the item's instances of the class
    std::string server;
    std::function<void(const LWSaveState*)> save;
};

// The instances of an item in the order to write them; a null item asks for
// the scene-level ones (MasterHandler and the like).
using PluginBlockWriter = std::function<std::vector<PluginSaveEntry>(LWItemID item)>;

// Scene-file IDs (the 32-bit values in the file) to the loaded items.
using FileIdMap = std::map<std::uint32_t, LWItemID>;

// One Plugin block found in the file, handed over with a reader of exactly
// its lines: reading past them gives end of data, never the next block.
struct PluginBlock {
    LWItemID item = nullptr; // null for scene-level classes
    std::string className;
    int index = 0;
    std::string server;
    const LWLoadState* state = nullptr;
    std::string where; // "scene.lws:LINE" of the Plugin line
    // Set by a reader that leaves the block alone (a class or server nothing
    // here runs): the block is then kept in its place as read and written
    // back verbatim. Blocks no reader is given are kept too.
    mutable bool kept = false;
};

struct PluginBlockReader {
    // Optional. Runs once the whole file has been read and checked, just
    // before its items replace the scene's: the place to drop the old items'
    // instances. Nothing in the scene has changed when it runs.
    std::function<void()> replacing;
    // Optional. Called per block in file order, after every item exists (so
    // the map is complete). A HostError it throws is reported in the load's
    // result and the load goes on, as Layout does with a plug-in that
    // refuses its data.
    std::function<void(const PluginBlock&, const FileIdMap&)> load;
};

struct SceneLoadResult {
    FileIdMap ids;
    // "scene.lws:LINE: plug-in SERVER: what it said", one per failed block.
    std::vector<std::string> pluginErrors;
    // "scene.lws:LINE: what", for what was read leniently (a missing object
    // file is kept as an empty object).
    std::vector<std::string> warnings;
};

// The scene as file text. Throws HostError when an item cannot be written
// (a name or path with a control byte or outer spaces, a value that is not
// finite) or a plug-in's save fails; nothing is returned then.
std::string formatScene(const Scene& scene, const PluginBlockWriter& plugins);

// The text formatScene writes for one marked part (Item::fileLines) of an
// item, or of the scene's head when item is null; plug-in blocks excluded.
std::string formatPart(const Scene& scene, const Item* item, const std::string& part);

// Stands for the state of an item's motion channels: it changes whenever
// one of their envelopes may have (a motion marker's `generated`).
std::string motionStamp(const Item& item);

// Writes formatScene's text to path (through a temporary file, so a failed
// save leaves an older file whole).
void saveScene(HostCore& host, const std::string& path, const PluginBlockWriter& plugins);

// Replaces the scene's items and timing with the file's. Every fault in the
// file (or in an object file it names) throws HostError "path:LINE: what",
// and then the scene is left exactly as it was. New items get the host's own
// IDs; result.ids maps the file's IDs to them. The first object (or item)
// ends up selected.
SceneLoadResult loadScene(HostCore& host, const std::string& path,
                          const PluginBlockReader& plugins);

} // namespace host

#endif
