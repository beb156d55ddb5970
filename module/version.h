// The module version: heads every scene record and every description line.
#ifndef MORVANE_MODULE_VERSION_H
#define MORVANE_MODULE_VERSION_H

#define MORVANE_VERSION 1.12f

#endif
