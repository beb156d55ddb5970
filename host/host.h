// The stand-in Layout as programs and tests use it: the host core (scene,
// module, services, panels) with Layout's command language behind its
// command interface, so a module's command texts and a script's lines are
// carried out alike. One host is current at a time, as one Layout runs per
// process: the last one made, until it goes.
//
// The host's parts, one folder each; a part uses only parts on lower lines
// (README shows exactly which):
//
//   host.h               Host
//   commands/            Layout's commands, scripts, Dump, interface panels
//   io/                  scene files and plug-in records
//   core/                HostCore: owns the parts below and wires them
//   services/            the C-ABI service records
//   view/                viewports: layouts, view geometry, fitting, drawing
//   plugins/             module file and instances
//   ui/ ring/            panels, XPanels, rasters, messages; the ring
//   scene/               items, order, selection, transforms, key edits, clones
//   motion/ mesh/        channels and envelopes; meshes and their files
//   common/              errors, vectors, file names, text encoding
#ifndef MORVANE_HOST_HOST_H
#define MORVANE_HOST_HOST_H

#include "core/host_core.h"

#include <iosfwd>

namespace host {

class Host : public HostCore {
  public:
    // What a person would see (messages, commands, traces) goes to out.
    explicit Host(std::ostream& out);
};

} // namespace host

#endif
